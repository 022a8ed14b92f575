#include "store/TRDefaultsStore.h"

#include "StoreTestSupport.h"
#include "TRLimits.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using storetest::everyKindDictionary;
using storetest::fileMode;
using storetest::simpleDictionary;
using storetest::writeFile;
using testsupport::readFile;

namespace {

QByteArray encode(const TRValue &value, TRPropertyList::Format format)
{
    QByteArray bytes;
    EXPECT_TRUE(TRPropertyList::write(value, format, &bytes));
    return bytes;
}

TRPropertyList::Format formatOf(const QString &path)
{
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::OpenStep;
    EXPECT_TRUE(TRPropertyList::read(readFile(path), &value, &format)) << path.toStdString();
    return format;
}

} // namespace

class Store : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.filePath(QStringLiteral("GNUstep/Defaults")); }
    QString file(const QString &name) const { return folder() + u'/' + name; }
    // Every entry of the folder but the lock folder.
    QStringList entries() const
    {
        QStringList list = QDir(folder()).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        list.removeAll(QStringLiteral(".lck"));
        return list;
    }
    void makeFolder() const { ASSERT_TRUE(QDir().mkpath(folder())); }

    QTemporaryDir m_dir;
    TRDefaultsStore m_store{folder()};
};

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
    writeFile(file(QStringLiteral("bin.plist")), encode(simpleDictionary(2), TRPropertyList::Format::Binary),
              0640);
    writeFile(file(QStringLiteral("xml.plist")), encode(simpleDictionary(2), TRPropertyList::Format::Xml),
              0644);
    writeFile(file(QStringLiteral("text.plist")), "{ a = b; list = (1, 2); }", 0600);

    for (const QString &name : {QStringLiteral("bin"), QStringLiteral("xml"), QStringLiteral("text")})
        ASSERT_TRUE(m_store.setPersistentDomain(everyKindDictionary(), name)) << name.toStdString();
    EXPECT_EQ(formatOf(file(QStringLiteral("bin.plist"))), TRPropertyList::Format::Binary);
    EXPECT_EQ(fileMode(file(QStringLiteral("bin.plist"))), 0640);
    EXPECT_EQ(formatOf(file(QStringLiteral("xml.plist"))), TRPropertyList::Format::Xml);
    EXPECT_EQ(fileMode(file(QStringLiteral("xml.plist"))), 0644);
    EXPECT_EQ(formatOf(file(QStringLiteral("text.plist"))), TRPropertyList::Format::Xml);
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("bin")), everyKindDictionary());

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

TEST_F(Store, RemovesDomainsAtOnce)
{
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("b")));
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a")));
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("b")});
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("a")).isNone());
    EXPECT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a"))); // already gone
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

TEST_F(Store, SynchronizeDropsNothingWritten)
{
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), QStringLiteral("a")));
    EXPECT_TRUE(m_store.synchronize());
    EXPECT_EQ(m_store.persistentDomainNames(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("a")), simpleDictionary(2));
}

// ---- GNUstep's lock

class StoreLock : public Store
{
protected:
    void SetUp() override
    {
        Store::SetUp();
        makeFolder();
        ASSERT_TRUE(QDir().mkpath(lockPath()));
    }
    void TearDown() override { TRDefaultsLock::setTiming(TRDefaultsLock::Timing{}); }

    QString lockPath() const { return TRDefaultsLock::lockPath(folder()); }
    void ageLock(int seconds) const
    {
        timespec times[2];
        ::clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_sec -= seconds;
        times[1] = times[0];
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lockPath()).constData(), times, 0), 0);
    }
};

TEST_F(StoreLock, WaitsForAFreshLock)
{
    std::atomic<bool> released{false};
    std::thread holder([this, &released] {
        QThread::msleep(300);
        released = true;
        ::rmdir(QFile::encodeName(lockPath()).constData());
    });
    const bool written = m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a"));
    const bool waited = released.load();
    holder.join();
    EXPECT_TRUE(written);
    EXPECT_TRUE(waited);
    EXPECT_FALSE(QFileInfo::exists(lockPath()));
}

TEST_F(StoreLock, ToldOfWaitsAndOfChangesMadeWithoutTheLock)
{
    TRDefaultsLock::setTiming({10, 20000, 200});
    QList<TRDefaultsStore::LockEvent> events;
    QString message;
    m_store.setLockObserver([&](TRDefaultsStore::LockEvent event, const QString &text) {
        if (events.isEmpty() || events.last() != event)
            events.append(event);
        message = text;
    });
    using Event = TRDefaultsStore::LockEvent;

    // Held by another program until the give-up time.
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    EXPECT_EQ(events, (QList<Event>{Event::Waiting, Event::NotTaken}));
    EXPECT_TRUE(message.contains(lockPath())) << message.toStdString();

    // Released while waiting.
    events.clear();
    std::thread holder([this] {
        QThread::msleep(100);
        ::rmdir(QFile::encodeName(lockPath()).constData());
    });
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(2), QStringLiteral("a")));
    holder.join();
    EXPECT_EQ(events, (QList<Event>{Event::Waiting, Event::Taken}));

    // Cannot be made at all: a file stands where the lock's folder goes.
    events.clear();
    ASSERT_TRUE(QDir().rmdir(QFileInfo(lockPath()).path()));
    writeFile(QFileInfo(lockPath()).path(), "x");
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a")));
    EXPECT_EQ(events, QList<Event>{Event::NotTaken});
    EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR)))) << message.toStdString();
}

TEST_F(StoreLock, BreaksAStaleLock)
{
    ageLock(60);
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    ASSERT_TRUE(m_store.removePersistentDomainForName(QStringLiteral("a")));
    EXPECT_FALSE(QFileInfo::exists(lockPath())); // broken, taken, and released
}

TEST_F(StoreLock, CarriesOnAfterTheGiveUpTimeAndLeavesTheOtherLock)
{
    TRDefaultsLock::setTiming({10, 20000, 200});
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    EXPECT_TRUE(QFileInfo::exists(lockPath()));
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("a")), simpleDictionary(1));
}

TEST_F(StoreLock, AStaleLockThatCannotBeBrokenIsWaitedOutNotSpunOn)
{
    // Something inside the stale lock keeps it from being removed: the writer waits until the give-up
    // time and carries on, as with any lock it cannot take.
    writeFile(lockPath() + QStringLiteral("/left-behind"), "x");
    ageLock(60);
    TRDefaultsLock::setTiming({10, 20000, 200});
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(1), QStringLiteral("a")));
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("a")), simpleDictionary(1));
    EXPECT_TRUE(QFileInfo::exists(lockPath() + QStringLiteral("/left-behind")));
}

TEST_F(StoreLock, UnlockLeavesALockThatSomebodyElseTookOver)
{
    ASSERT_TRUE(QDir().rmdir(lockPath()));
    {
        const TRDefaultsLock lock(folder());
        ASSERT_TRUE(lock.isHeld());
        // Another process broke ours as stale and made its own.
        ASSERT_TRUE(QDir().rmdir(lockPath()));
        ASSERT_TRUE(QDir().mkdir(lockPath()));
        ageLock(5);
    }
    EXPECT_TRUE(QFileInfo::exists(lockPath()));
}

TEST_F(Store, ConcurrentUpdatesUnderTheLockLoseNoKey)
{
    TRDefaultsLock::setTiming({2, 20000, 25000});
    constexpr int kKeysPerWriter = 40;
    auto writer = [this](const QString &prefix) {
        TRDefaultsStore store(folder());
        for (int i = 0; i < kKeysPerWriter; ++i) {
            const bool ok =
                store.updatePersistentDomain(QStringLiteral("shared"), [&](const TRValue &current) {
                    TRDictionary entries = current.isDictionary() ? current.toDictionary() : TRDictionary();
                    entries.insert(prefix + QString::number(i), TRValue::fromInteger(i));
                    return TRValue::fromDictionary(std::move(entries));
                });
            EXPECT_TRUE(ok);
        }
    };
    std::thread first(writer, QStringLiteral("a"));
    std::thread second(writer, QStringLiteral("b"));
    first.join();
    second.join();
    TRDefaultsLock::setTiming(TRDefaultsLock::Timing{});

    const TRValue shared = m_store.persistentDomainForName(QStringLiteral("shared"));
    ASSERT_TRUE(shared.isDictionary());
    EXPECT_EQ(shared.toDictionary().size(), 2 * kKeysPerWriter);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("shared.plist")});
    EXPECT_FALSE(QFileInfo::exists(TRDefaultsLock::lockPath(folder())));

    // A change that leaves nothing removes the domain.
    ASSERT_TRUE(
        m_store.updatePersistentDomain(QStringLiteral("shared"), [](const TRValue &) { return TRValue(); }));
    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
}
