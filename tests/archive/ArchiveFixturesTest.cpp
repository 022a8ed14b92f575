// Exchange files written by the platforms' own keyed archivers read to the trees they hold.
#include "ArchiveTestSupport.h"
#include "TestSupport.h"
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedUnarchiver.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace archivetest;
using testsupport::dataPath;
using testsupport::readFile;

namespace {

QStringList archivesIn(const QString &folder)
{
    const QDir dir(dataPath(QStringLiteral("archives/") + folder));
    return dir.entryList({QStringLiteral("*.tamdom"), QStringLiteral("*.tamdoms")}, QDir::Files, QDir::Name);
}

// The dump a fixture must read to: its own NAME.json, or for Apple's layout the dump of the file of the
// same contents that GNUstep wrote.
QString expectedDumpPath(const QString &folder, const QString &file)
{
    const QString base = QFileInfo(file).completeBaseName();
    const QString own =
        QDir(dataPath(QStringLiteral("archives/") + folder)).filePath(base + QStringLiteral(".json"));
    if (QFileInfo::exists(own))
        return own;
    QString platformBase = base;
    if (base == QLatin1String("names-omit-nil") || base == QLatin1String("names.xml"))
        platformBase = QStringLiteral("names");
    return dataPath(QStringLiteral("archives/platform-written/%1.json").arg(platformBase));
}

void expectReadsToDump(const QString &folder)
{
    const QStringList files = archivesIn(folder);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString path = dataPath(QStringLiteral("archives/%1/%2").arg(folder, file));
        TRArchiveContents contents;
        QString error;
        ASSERT_TRUE(TRKeyedUnarchiver::unarchiveObjectWithFile(path, &contents, &error))
            << error.toStdString();
        EXPECT_EQ(contents.isList, file.endsWith(QLatin1String(".tamdoms")));
        const QByteArray dump = TRArchiveDump::dump(contents);
        EXPECT_EQ(normalizedDump(dump), normalizedDump(readFile(expectedDumpPath(folder, file))))
            << "dump:\n"
            << dump.toStdString();
    }
}

TRValue leafOf(const TRArchiveContents &contents, const char *key)
{
    const TRKeyPtr child =
        contents.domains.at(0)->rootKey()->childForName(TRValue::fromString(QString::fromLatin1(key)));
    return child ? child->value() : TRValue::fromString(QStringLiteral("<missing>"));
}

} // namespace

TEST(ArchiveFixtures, PlatformWrittenFilesReadToTheirDumps)
{
    expectReadsToDump(QStringLiteral("platform-written"));
}

TEST(ArchiveFixtures, AppleLayoutFilesReadToTheSameTrees)
{
    expectReadsToDump(QStringLiteral("apple-layout"));
}

// JSON numbers lose digits beyond 2^53; the extreme integers are checked on the values themselves.
TEST(ArchiveFixtures, ExtremeIntegersKeepEveryDigit)
{
    const auto big =
        readArchive(readFile(dataPath(QStringLiteral("archives/apple-layout/uint64-max-16byte.tamdom"))));
    ASSERT_EQ(big.domains.size(), 1u);
    EXPECT_TRUE(leafOf(big, "ullBig").isUnsignedInteger());
    EXPECT_EQ(leafOf(big, "ullBig").toUnsigned(), 18446744073709551615ull);

    const auto gnustep =
        readArchive(readFile(dataPath(QStringLiteral("archives/platform-written/uint64-max.tamdom"))));
    EXPECT_EQ(leafOf(gnustep, "ullBig"), TRValue::fromInteger(-1));

    for (const char *folder : {"platform-written", "apple-layout"}) {
        const auto leaves = readArchive(
            readFile(dataPath(QStringLiteral("archives/%1/all-leaves.tamdom").arg(QLatin1String(folder)))));
        EXPECT_EQ(leafOf(leaves, "intMax"), TRValue::fromInteger(std::numeric_limits<qint64>::max()));
        EXPECT_EQ(leafOf(leaves, "intMin"), TRValue::fromInteger(std::numeric_limits<qint64>::min()));
        EXPECT_TRUE(leafOf(leaves, "boolTrue").isBoolean());
        EXPECT_TRUE(leafOf(leaves, "int1").isInteger());
        EXPECT_EQ(leafOf(leaves, "dateFrac"), TRValue::fromDate(-12345.25));
    }
}

TEST(ArchiveFixtures, RestoredDomainsAreModifiedAndLinked)
{
    const auto contents =
        readArchive(readFile(dataPath(QStringLiteral("archives/platform-written/three-domains.tamdoms"))));
    ASSERT_EQ(contents.domains.size(), 3u);
    for (const TRDomainControllerPtr &domain : contents.domains) {
        EXPECT_TRUE(domain->modified());
        EXPECT_EQ(domain->rootKey()->parent(), nullptr);
    }
    const TRKeyPtr list =
        contents.domains.at(2)->rootKey()->childForName(TRValue::fromString(QStringLiteral("list")));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->parent(), contents.domains.at(2)->rootKey());
    EXPECT_EQ(list->childAtIndex(1)->parent(), list);
    EXPECT_EQ(list->childAtIndex(1)->domain(), QStringLiteral("com.example.Third"));
}

TEST(ArchiveFixtures, MustRefuseFilesAreRefusedWithAMessage)
{
    const QStringList files = archivesIn(QStringLiteral("must-refuse"));
    ASSERT_EQ(files.size(), 7);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        TRArchiveContents contents;
        contents.isList = true; // must survive the failure untouched
        QString error;
        EXPECT_FALSE(TRKeyedUnarchiver::unarchiveObjectWithFile(
            dataPath(QStringLiteral("archives/must-refuse/") + file), &contents, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(contents.isList);
        EXPECT_TRUE(contents.domains.empty());
    }
}

TEST(ArchiveFixtures, WrongRootsAreToldApartFromUnreadableFiles)
{
    const auto failureOf = [](const char *file) {
        TRArchiveContents contents;
        TRKeyedUnarchiver::Failure failure = TRKeyedUnarchiver::Failure::None;
        TRKeyedUnarchiver::unarchiveObjectWithFile(
            dataPath(QStringLiteral("archives/must-refuse/") + QLatin1String(file)), &contents, nullptr,
            &failure);
        return failure;
    };
    EXPECT_EQ(failureOf("plist-root.tamdoms"), TRKeyedUnarchiver::Failure::WrongRoot);
    EXPECT_EQ(failureOf("mixed-list.tamdoms"), TRKeyedUnarchiver::Failure::WrongRoot);
    EXPECT_EQ(failureOf("not-an-archive.tamdom"), TRKeyedUnarchiver::Failure::Unreadable);
    EXPECT_EQ(failureOf("plain-plist.tamdom"), TRKeyedUnarchiver::Failure::Unreadable);
    EXPECT_EQ(failureOf("non-key-child.tamdom"), TRKeyedUnarchiver::Failure::Unreadable);

    TRArchiveContents contents;
    QString error;
    EXPECT_FALSE(TRKeyedUnarchiver::unarchiveObjectWithFile(QStringLiteral("/nonexistent/file.tamdom"),
                                                            &contents, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/file.tamdom")));
}
