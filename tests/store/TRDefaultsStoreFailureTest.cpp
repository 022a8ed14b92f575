// What the store does with files it cannot read or must not touch, and with writes that fail: nothing is
// lost, replaced that should not be, or reported as written.
#include "StoreFixture.h"
#include "TRLimits.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using storetest::fileMode;
using storetest::simpleDictionary;
using storetest::writeFile;
using testsupport::readFile;

TEST_F(Store, SetsAsideUnreadableFilesBeforeWritingOrRemoving)
{
    makeFolder();
    const QByteArray garbage = "this is not a property list {{{";
    writeFile(file(QStringLiteral("x.plist")), garbage, 0640);
    writeFile(file(QStringLiteral("y.plist")), garbage, 0640);

    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("x")).isNone());
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), QStringLiteral("x")));
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("y")));

    QStringList aside = QDir(folder()).entryList({QStringLiteral("*.unreadable-*")}, QDir::Files, QDir::Name);
    ASSERT_EQ(aside.size(), 2);
    for (const QString &name : aside) {
        EXPECT_EQ(readFile(file(name)), garbage); // kept byte for byte
        EXPECT_TRUE(
            name.contains(QRegularExpression(QStringLiteral(R"(^[xy]\.plist\.unreadable-\d{8}T\d{6}Z$)"))))
            << name.toStdString();
    }
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("x")});
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("x")), simpleDictionary(2));
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("y.plist"))));
    EXPECT_EQ(fileMode(file(QStringLiteral("x.plist"))), 0600); // a new file, not the unreadable one's

    // A second unreadable file of the same name within the same second gets a name of its own.
    writeFile(file(QStringLiteral("x.plist")), garbage);
    TRDefaultsStore fresh(folder());
    ASSERT_TRUE(fresh.setPersistentDomain(simpleDictionary(1), QStringLiteral("x")));
    ASSERT_EQ(fresh.unreadableFiles().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(fresh.unreadableFiles().first().setAsideAs));
    EXPECT_EQ(QDir(folder()).entryList({QStringLiteral("x.plist.unreadable-*")}, QDir::Files).size(), 2);
}

TEST_F(Store, SetsAsideUnreadableFilesOfTheLongestNames)
{
    makeFolder();
    const QByteArray garbage = "not a property list";
    for (const QString &name :
         {QString(TRDefaultsStore::kMaxNameBytes, QLatin1Char('w')), QString(80, QChar(0x263A))}) {
        ASSERT_TRUE(TRDefaultsStore::isValidDomainName(name));
        writeFile(file(name + QStringLiteral(".plist")), garbage);
        QString error;
        ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), name, &error)) << error.toStdString();
        EXPECT_EQ(m_store.persistentDomainForName(name), simpleDictionary(1));
        writeFile(file(name + QStringLiteral(".plist")), garbage);
        ASSERT_TRUE(m_store.removePersistentDomainForName(name, &error)) << error.toStdString();
    }
    const QStringList aside = QDir(folder()).entryList({QStringLiteral("*.unreadable-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 4);
    for (const QString &name : aside) {
        EXPECT_EQ(readFile(file(name)), garbage);
        EXPECT_FALSE(name.endsWith(QStringLiteral(".plist")));
        EXPECT_TRUE(name.isValidUtf16());
    }
    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
}

namespace {

// Writes the domain in a child process whose file-size limit makes writes fail after limit bytes, as a full
// disk does; answers the child's error message, or "written" when the write claimed success.
QString writeUnderSizeLimit(const QString &folder, const TRValue &domain, rlim_t limit)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited{};
        ::getrlimit(RLIMIT_FSIZE, &limited);
        limited.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        TRDefaultsStore store(folder);
        QString error;
        const QByteArray answer = store.setPersistentDomain(domain, QStringLiteral("com.x"), &error)
                                      ? QByteArray("written")
                                      : error.toUtf8();
        [[maybe_unused]] const ssize_t sent =
            ::write(channel[1], answer.constData(), std::size_t(answer.size()));
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return QString::fromUtf8(answer);
}

} // namespace

TEST_F(Store, FailedWriteLeavesTheOldFileWholeAndSaysWhy)
{
    // A small domain fits the save's buffer, so only a write that is checked at once sees the failure.
    const struct
    {
        rlim_t limit;
        int keys;
    } cases[] = {{0, 3}, {4096, 5000}};
    for (const auto &test : cases) {
        ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(3), QStringLiteral("com.x")));
        const QByteArray before = readFile(file(QStringLiteral("com.x.plist")));

        const QString error = writeUnderSizeLimit(folder(), simpleDictionary(test.keys), test.limit);
        EXPECT_TRUE(error.contains(file(QStringLiteral("com.x.plist")))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << error.toStdString();
        EXPECT_EQ(readFile(file(QStringLiteral("com.x.plist"))), before);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("com.x.plist")});
        EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("com.x")), simpleDictionary(3));
    }
}

TEST_F(Store, NeverOpensOrReplacesWhatIsNotARegularFile)
{
    makeFolder();
    const QString fifo = m_dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(QStringLiteral("fifo.plist"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, file(QStringLiteral("tofifo.plist"))));
    ASSERT_TRUE(QDir().mkdir(file(QStringLiteral("folder.plist"))));
    // Only read, never written: a broken store must not get the chance to replace a device.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), file(QStringLiteral("device.plist"))));

    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
    EXPECT_EQ(m_store.unreadableFiles().size(), 4);
    for (const auto &unreadable : m_store.unreadableFiles())
        EXPECT_FALSE(unreadable.reason.isEmpty());
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("device")).isNone());

    for (const QString &name : {QStringLiteral("fifo"), QStringLiteral("tofifo"), QStringLiteral("folder")}) {
        QString error;
        EXPECT_FALSE(m_store.setPersistentDomain(simpleDictionary(1), name, &error)) << name.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("regular file"))) << error.toStdString();
    }
    EXPECT_FALSE(m_store.removePersistentDomainForName(QStringLiteral("fifo")));
    EXPECT_FALSE(m_store.removePersistentDomainForName(QStringLiteral("folder")));
    EXPECT_TRUE(
        m_store.removePersistentDomainForName(QStringLiteral("tofifo"))); // the link goes, the pipe stays
    struct stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(QFile::encodeName(file(QStringLiteral("fifo.plist"))).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("device.plist"), QStringLiteral("fifo.plist"),
                                      QStringLiteral("folder.plist")}));
}

TEST_F(Store, HugeAndExpandingFilesAreUnreadableAndSetAsideOnlyWhenWritten)
{
    makeFolder();
    // Sparse: larger than the bound without using the disk.
    {
        QFile huge(file(QStringLiteral("huge.plist")));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(kTRMaxFileSize + 1));
    }
    writeFile(file(QStringLiteral("bomb.plist")), storetest::sharingBomb(40));

    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
    ASSERT_EQ(m_store.unreadableFiles().size(), 2);
    for (const auto &unreadable : m_store.unreadableFiles()) {
        EXPECT_TRUE(unreadable.setAsideAs.isEmpty());
        const bool huge = unreadable.fileName.endsWith(QStringLiteral("huge.plist"));
        EXPECT_TRUE(unreadable.reason.contains(huge ? QStringLiteral("256 MiB")
                                                    : QString::number(kTRMaxExpandedValues)))
            << unreadable.reason.toStdString();
    }
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("bomb")).isNone());
    EXPECT_EQ(readFile(file(QStringLiteral("bomb.plist"))), storetest::sharingBomb(40));
    TRValue bomb;
    ASSERT_TRUE(TRPropertyList::read(storetest::sharingBomb(40), &bomb));
    QString error;
    EXPECT_FALSE(m_store.setPersistentDomain(bomb, QStringLiteral("other"), &error));
    EXPECT_TRUE(error.contains(QString::number(kTRMaxExpandedValues))) << error.toStdString();

    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("bomb")));
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("bomb")), simpleDictionary(1));
    EXPECT_EQ(QDir(folder()).entryList({QStringLiteral("bomb.plist.unreadable-*")}, QDir::Files).size(), 1);
}

TEST_F(Store, FilesThatReadLongerOrShorterThanTheirSizeAreRefusedAsChanged)
{
    makeFolder();
    // The system's own files stand for a file that grows or shrinks while it is read: their size says
    // 0 or 4096 bytes, and reading them gives some other number.
    const struct
    {
        const char *name;
        const char *target;
    } cases[] = {{"grows", "/proc/self/status"}, {"shrinks", "/sys/devices/system/cpu/online"}};
    int linked = 0;
    for (const auto &c : cases) {
        const QString target = QString::fromLatin1(c.target);
        const QFileInfo info(target);
        if (info.isFile() && info.size() != readFile(target).size())
            linked += QFile::link(target, file(QString::fromLatin1(c.name) + QStringLiteral(".plist")));
    }
    if (linked == 0)
        GTEST_SKIP() << "no system file whose size differs from what it reads";

    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
    ASSERT_EQ(m_store.unreadableFiles().size(), linked);
    for (const auto &unreadable : m_store.unreadableFiles()) {
        EXPECT_EQ(unreadable.reason, QStringLiteral("The file changed while it was being read."))
            << unreadable.fileName.toStdString();
        EXPECT_TRUE(unreadable.setAsideAs.isEmpty());
    }
}
