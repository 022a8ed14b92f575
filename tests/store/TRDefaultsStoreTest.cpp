// The defaults store: reading, writing, listing and naming domains, file formats and permissions.
#include "store/TRDefaultsStore.h"

#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using storetest::encode;
using storetest::everyKindDictionary;
using storetest::fileMode;
using storetest::formatOf;
using storetest::simpleDictionary;
using storetest::writeFile;
using testsupport::readFile;

TEST_F(Store, MissingFolderIsEmptyUntilTheFirstWrite)
{
    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("com.x")).isNone());
    EXPECT_TRUE(m_store.synchronize());
    EXPECT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("com.x")));
    EXPECT_FALSE(QFileInfo::exists(folder()));

    QString error;
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), QStringLiteral("com.x"), &error))
        << error.toStdString();
    EXPECT_EQ(fileMode(folder()), 0755);
    EXPECT_EQ(fileMode(m_dir.filePath(QStringLiteral("GNUstep"))), 0755);
    EXPECT_EQ(fileMode(file(QStringLiteral("com.x.plist"))), 0600);
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("com.x")});
    EXPECT_EQ(entries(), QStringList{QStringLiteral("com.x.plist")}); // no temporary file, no lock left
    EXPECT_TRUE(QDir(folder() + QStringLiteral("/.lck")).isEmpty());
}

TEST_F(Store, WrittenDomainsReadBackEqual)
{
    const TRValue domain = everyKindDictionary();
    ASSERT_TRUE(m_store.setPersistentDomain(domain, QStringLiteral("every.kind")));
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("every.kind")), domain);
    ASSERT_TRUE(m_store.synchronize());
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("every.kind")), domain);
    TRDefaultsStore other(folder());
    EXPECT_EQ(other.persistentDomainForName(QStringLiteral("every.kind")), domain);

    // Replaced as a whole.
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("every.kind")));
    EXPECT_EQ(other.persistentDomainForName(QStringLiteral("every.kind")), simpleDictionary(1));
}

TEST_F(Store, ReadsSeeOtherWritersWithoutSynchronize)
{
    TRDefaultsStore other(folder());
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(3, QStringLiteral("a")), QStringLiteral("d")));
    EXPECT_EQ(other.persistentDomainForName(QStringLiteral("d")), simpleDictionary(3, QStringLiteral("a")));
    // Same size, written within the same second: still seen.
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(3, QStringLiteral("b")), QStringLiteral("d")));
    EXPECT_EQ(other.persistentDomainForName(QStringLiteral("d")), simpleDictionary(3, QStringLiteral("b")));
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("d")));
    EXPECT_TRUE(other.persistentDomainForName(QStringLiteral("d")).isNone());
    EXPECT_TRUE(other.persistentDomainNames().isEmpty());
}

TEST_F(Store, ListsReadableDomainFilesInCodePointOrder)
{
    makeFolder();
    const QByteArray xml = encode(simpleDictionary(1), TRPropertyList::Format::Xml);
    const QStringList valid{QStringLiteral("b"),       QStringLiteral("a"),         QStringLiteral("Z"),
                            QStringLiteral("é"),       QStringLiteral("\uFFFD"),    QStringLiteral("😀"),
                            QStringLiteral(".hidden"), QStringLiteral("with space")};
    for (const QString &name : valid)
        writeFile(file(name + QStringLiteral(".plist")), xml);
    writeFile(file(QStringLiteral("notes.txt")), xml);
    writeFile(file(QStringLiteral(".plist")), xml);
    writeFile(file(QStringLiteral("old.plist.unreadable-20200101T000000Z")), xml);
    ASSERT_TRUE(QDir().mkpath(file(QStringLiteral("folder.plist"))));
    writeFile(file(QStringLiteral("broken.plist")), "<plist><dict><key>a</key>");
    writeFile(file(QStringLiteral("list.plist")),
              encode(TRValue::fromArray({TRValue::fromInteger(1)}), TRPropertyList::Format::Xml));
    writeFile(m_dir.filePath(QStringLiteral("elsewhere.plist")), xml);
    ASSERT_TRUE(
        QFile::link(m_dir.filePath(QStringLiteral("elsewhere.plist")), file(QStringLiteral("linked.plist"))));
    ASSERT_TRUE(
        QFile::link(m_dir.filePath(QStringLiteral("nothing.plist")), file(QStringLiteral("dangling.plist"))));

    const QStringList expected{
        QStringLiteral(".hidden"), QStringLiteral("Z"),      QStringLiteral("a"),
        QStringLiteral("b"),       QStringLiteral("linked"), QStringLiteral("with space"),
        QStringLiteral("é"),       QStringLiteral("\uFFFD"), QStringLiteral("😀")};
    EXPECT_EQ(m_store.persistentDomainNames(), expected);

    const QList<TRDefaultsStore::UnreadableFile> unreadable = m_store.unreadableFiles();
    ASSERT_EQ(unreadable.size(), 3);
    QStringList names;
    for (const auto &entry : unreadable) {
        names.append(QFileInfo(entry.fileName).fileName());
        EXPECT_FALSE(entry.reason.isEmpty());
        EXPECT_TRUE(entry.setAsideAs.isEmpty());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("broken.plist"), QStringLiteral("folder.plist"),
                                  QStringLiteral("list.plist")}));
    // Listing and reading touch nothing.
    EXPECT_TRUE(QFileInfo::exists(file(QStringLiteral("broken.plist"))));
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("broken")).isNone());
}

TEST_F(Store, KeepsTheFileFormatAndPermissions)
{
    makeFolder();
    using Format = TRPropertyList::Format;
    // A text property list is written back as XML, which keeps every kind of value.
    const struct
    {
        QString name;
        QByteArray bytes;
        int mode;
        Format written;
    } cases[] = {
        {QStringLiteral("bin"), encode(simpleDictionary(2), Format::Binary), 0640, Format::Binary},
        {QStringLiteral("xml"), encode(simpleDictionary(2), Format::Xml), 0644, Format::Xml},
        {QStringLiteral("text"), "{ a = b; list = (1, 2); }", 0600, Format::Xml},
    };
    for (const auto &test : cases) {
        const QString path = file(test.name + QStringLiteral(".plist"));
        writeFile(path, test.bytes, test.mode);
        ASSERT_TRUE(m_store.setPersistentDomain(everyKindDictionary(), test.name)) << test.name.toStdString();
        EXPECT_EQ(formatOf(path), test.written) << test.name.toStdString();
        EXPECT_EQ(fileMode(path), test.mode) << test.name.toStdString();
        EXPECT_EQ(m_store.persistentDomainForName(test.name), everyKindDictionary());
    }

    // Saving again keeps what the last save wrote, and follows a file replaced since.
    const QString bin = file(QStringLiteral("bin.plist"));
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(3), QStringLiteral("bin")));
    EXPECT_EQ(formatOf(bin), TRPropertyList::Format::Binary);
    EXPECT_EQ(fileMode(bin), 0640);
    writeFile(bin, encode(simpleDictionary(1), TRPropertyList::Format::Xml), 0600);
    ASSERT_TRUE(m_store.setPersistentDomain(everyKindDictionary(), QStringLiteral("bin")));
    EXPECT_EQ(formatOf(bin), TRPropertyList::Format::Xml);
    EXPECT_EQ(fileMode(bin), 0600);
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("bin")), everyKindDictionary());

    // Text that XML 1.0 cannot carry goes to a binary file rather than being lost.
    TRDictionary control;
    control.insert(QStringLiteral("bell"), TRValue::fromString(QStringLiteral("ring \u0007 ring")));
    const TRValue domain = TRValue::fromDictionary(control);
    ASSERT_TRUE(m_store.setPersistentDomain(domain, QStringLiteral("control")));
    EXPECT_EQ(formatOf(file(QStringLiteral("control.plist"))), TRPropertyList::Format::Binary);
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("control")), domain);
}

TEST_F(Store, WritesThroughSymbolicLinks)
{
    makeFolder();
    const QString target = m_dir.filePath(QStringLiteral("real/target.plist"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));
    writeFile(target, encode(simpleDictionary(1), TRPropertyList::Format::Xml), 0640);
    ASSERT_TRUE(QFile::link(QStringLiteral("../../real/target.plist"), file(QStringLiteral("linked.plist"))));

    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(4), QStringLiteral("linked")));
    EXPECT_TRUE(QFileInfo(file(QStringLiteral("linked.plist"))).isSymLink());
    EXPECT_EQ(fileMode(target), 0640);
    TRValue onDisk;
    ASSERT_TRUE(TRPropertyList::read(readFile(target), &onDisk));
    EXPECT_EQ(onDisk, simpleDictionary(4));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("linked.plist")});

    // Removing the domain removes the link and leaves its target alone.
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("linked")));
    EXPECT_FALSE(QFileInfo(file(QStringLiteral("linked.plist"))).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));
}

TEST_F(Store, RefusesNamesItCannotHold)
{
    const QString longest = QString(121, QChar(0xE9)); // 242 UTF-8 bytes
    const QStringList refused{
        QString(),           QStringLiteral("a/b"),    QStringLiteral("../escape"),
        QStringLiteral("."), QStringLiteral(".."),     QString::fromUtf8("nul\0inside", 10),
        longest + u'b',      QString(1, QChar(0xD800))};
    for (const QString &name : refused) {
        QString error;
        EXPECT_FALSE(TRDefaultsStore::isValidDomainName(name, &error));
        EXPECT_FALSE(error.isEmpty());
        error.clear();
        EXPECT_FALSE(m_store.setPersistentDomain(simpleDictionary(1), name, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(m_store.removePersistentDomainForName(name));
        EXPECT_TRUE(m_store.persistentDomainForName(name).isNone());
    }
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("GNUstep/escape.plist"))));

    const QStringList accepted{QStringLiteral("with space"), QStringLiteral("ünïcödé ☃"),
                               QStringLiteral(".leading"), QStringLiteral("..double"), longest};
    for (const QString &name : accepted) {
        QString error;
        ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), name, &error)) << error.toStdString();
        EXPECT_EQ(m_store.persistentDomainForName(name), simpleDictionary(1));
        // Replacing an existing file needs a temporary name beside it: that must fit too.
        ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), name, &error)) << error.toStdString();
        EXPECT_EQ(m_store.persistentDomainForName(name), simpleDictionary(2));
    }
    EXPECT_EQ(m_store.persistentDomainNames().size(), accepted.size());

    QString error;
    EXPECT_FALSE(m_store.setPersistentDomain(TRValue::fromArray({}), QStringLiteral("array"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Store, RemovesDomainsAtOnce)
{
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("b")));
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a")));
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("b")});
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("a")).isNone());
    EXPECT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a"))); // already gone
}

TEST_F(Store, SynchronizeDropsNothingWritten)
{
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), QStringLiteral("a")));
    EXPECT_TRUE(m_store.synchronize());
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("a")), simpleDictionary(2));
}
