#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsLock.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
        QStringList list = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                    QDir::Name);
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
    const QStringList valid{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("Z"), QStringLiteral("é"),
                            QStringLiteral("\uFFFD"), QStringLiteral("😀"), QStringLiteral(".hidden"),
                            QStringLiteral("with space")};
    for (const QString &name : valid)
        writeFile(file(name + QStringLiteral(".plist")), xml);
    writeFile(file(QStringLiteral("notes.txt")), xml);
    writeFile(file(QStringLiteral(".plist")), xml);
    writeFile(file(QStringLiteral("old.plist.unreadable-20200101T000000Z")), xml);
    ASSERT_TRUE(QDir().mkpath(file(QStringLiteral("folder.plist"))));
    writeFile(file(QStringLiteral("broken.plist")), "<plist><dict><key>a</key>");
    writeFile(file(QStringLiteral("list.plist")), encode(TRValue::fromArray({TRValue::fromInteger(1)}),
                                                         TRPropertyList::Format::Xml));
    writeFile(m_dir.filePath(QStringLiteral("elsewhere.plist")), xml);
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("elsewhere.plist")), file(QStringLiteral("linked.plist"))));
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("nothing.plist")), file(QStringLiteral("dangling.plist"))));

    const QStringList expected{QStringLiteral(".hidden"), QStringLiteral("Z"), QStringLiteral("a"),
                               QStringLiteral("b"), QStringLiteral("linked"), QStringLiteral("with space"),
                               QStringLiteral("é"), QStringLiteral("\uFFFD"), QStringLiteral("😀")};
    EXPECT_EQ(m_store.persistentDomainNames(), expected);

    const QList<TRDefaultsStore::UnreadableFile> unreadable = m_store.unreadableFiles();
    ASSERT_EQ(unreadable.size(), 2);
    QStringList names;
    for (const auto &entry : unreadable) {
        names.append(QFileInfo(entry.fileName).fileName());
        EXPECT_FALSE(entry.reason.isEmpty());
        EXPECT_TRUE(entry.setAsideAs.isEmpty());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("broken.plist"), QStringLiteral("list.plist")}));
    // Listing and reading touch nothing.
    EXPECT_TRUE(QFileInfo::exists(file(QStringLiteral("broken.plist"))));
    EXPECT_TRUE(m_store.persistentDomainForName(QStringLiteral("broken")).isNone());
}

TEST_F(Store, KeepsTheFileFormatAndPermissions)
{
    makeFolder();
    writeFile(file(QStringLiteral("bin.plist")), encode(simpleDictionary(2), TRPropertyList::Format::Binary), 0640);
    writeFile(file(QStringLiteral("xml.plist")), encode(simpleDictionary(2), TRPropertyList::Format::Xml), 0644);
    writeFile(file(QStringLiteral("text.plist")), "{ a = b; list = (1, 2); }", 0600);

    for (const QString &name : {QStringLiteral("bin"), QStringLiteral("xml"), QStringLiteral("text")})
        ASSERT_TRUE(m_store.setPersistentDomain(everyKindDictionary(), name)) << name.toStdString();
    EXPECT_EQ(formatOf(file(QStringLiteral("bin.plist"))), TRPropertyList::Format::Binary);
    EXPECT_EQ(fileMode(file(QStringLiteral("bin.plist"))), 0640);
    EXPECT_EQ(formatOf(file(QStringLiteral("xml.plist"))), TRPropertyList::Format::Xml);
    EXPECT_EQ(fileMode(file(QStringLiteral("xml.plist"))), 0644);
    EXPECT_EQ(formatOf(file(QStringLiteral("text.plist"))), TRPropertyList::Format::Xml);
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
    const QStringList refused{QString(), QStringLiteral("a/b"), QStringLiteral("../escape"), QStringLiteral("."),
                              QStringLiteral(".."), QString::fromUtf8("nul\0inside", 10), longest + u'b',
                              QString(1, QChar(0xD800))};
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

    const QStringList accepted{QStringLiteral("with space"), QStringLiteral("ünïcödé ☃"), QStringLiteral(".leading"),
                               QStringLiteral("..double"), longest};
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
        EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral(R"(^[xy]\.plist\.unreadable-\d{8}T\d{6}Z$)"))))
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
    for (const QString &name : {QString(TRDefaultsStore::kMaxNameBytes, QLatin1Char('w')), QString(80, QChar(0x263A))}) {
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

TEST_F(Store, FailedWriteLeavesTheOldFileWhole)
{
    ASSERT_TRUE(m_store.setPersistentDomain(simpleDictionary(3), QStringLiteral("com.x")));
    const QByteArray before = readFile(file(QStringLiteral("com.x.plist")));

    // The file-size limit makes every write fail after 4096 bytes, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit limited{4096, old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool written = m_store.setPersistentDomain(simpleDictionary(5000), QStringLiteral("com.x"), &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(file(QStringLiteral("com.x.plist")))) << error.toStdString();
    EXPECT_EQ(readFile(file(QStringLiteral("com.x.plist"))), before);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("com.x.plist")});
    EXPECT_EQ(m_store.persistentDomainForName(QStringLiteral("com.x")), simpleDictionary(3));
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
            const bool ok = store.updatePersistentDomain(QStringLiteral("shared"), [&](const TRValue &current) {
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
    ASSERT_TRUE(m_store.updatePersistentDomain(QStringLiteral("shared"), [](const TRValue &) { return TRValue(); }));
    EXPECT_TRUE(m_store.persistentDomainNames().isEmpty());
}
