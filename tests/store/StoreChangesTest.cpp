// The store against other writers: which version of a file a write may replace, and the watcher's fallback.
#include "StoreTestSupport.h"
#include "store/TRDefaultsStore.h"
#include "store/TRStoreWatcher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using storetest::simpleDictionary;
using storetest::writeFile;

TEST(StoreChanges, AWriteReplacesOnlyTheVersionItsCallerRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TRDefaultsStore store(dir.path());
    const QString name = QStringLiteral("x");
    const QString path = store.filePathForName(name);
    ASSERT_TRUE(store.setPersistentDomain(simpleDictionary(1), name));

    TRDefaultsStore::DomainRead read = store.readPersistentDomain(name);
    EXPECT_EQ(read.dictionary, simpleDictionary(1));
    EXPECT_TRUE(read.identity.exists);
    EXPECT_EQ(read.identity, store.fileIdentity(name));

    // Unchanged since the read: written, and the new file's identity told.
    TRFileIdentity written;
    EXPECT_EQ(store.writePersistentDomain(simpleDictionary(2), name, &read.identity, &written),
              TRDefaultsStore::WriteResult::Written);
    EXPECT_EQ(written, store.fileIdentity(name));
    EXPECT_NE(written, read.identity);

    // Another program wrote it meanwhile, or removed it: nothing is written, its version stays.
    const QByteArray theirs = QByteArrayLiteral("{ k = theirs; }");
    writeFile(path, theirs);
    EXPECT_EQ(store.writePersistentDomain(simpleDictionary(3), name, &written, nullptr),
              TRDefaultsStore::WriteResult::ChangedOnDisk);
    EXPECT_EQ(store.persistentDomainForName(name).toDictionary().value(QStringLiteral("k")),
              TRValue::fromString(QStringLiteral("theirs")));
    const TRFileIdentity theirIdentity = store.fileIdentity(name);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(store.writePersistentDomain(simpleDictionary(3), name, &theirIdentity, nullptr),
              TRDefaultsStore::WriteResult::ChangedOnDisk);
    EXPECT_FALSE(QFile::exists(path));
    // A domain made in Tamrix expects no file.
    const TRFileIdentity nothing;
    EXPECT_EQ(store.writePersistentDomain(simpleDictionary(3), name, &read.identity, nullptr),
              TRDefaultsStore::WriteResult::ChangedOnDisk);
    EXPECT_EQ(store.writePersistentDomain(simpleDictionary(3), name, &nothing, nullptr),
              TRDefaultsStore::WriteResult::Written);

    // An unreadable file is told apart from an absent one, with the version that was read.
    writeFile(path, QByteArrayLiteral("<?xml"));
    read = store.readPersistentDomain(name);
    EXPECT_TRUE(read.unreadable);
    EXPECT_FALSE(read.reason.isEmpty());
    EXPECT_TRUE(read.dictionary.isNone());
    EXPECT_EQ(read.identity, store.fileIdentity(name));
    read = store.readPersistentDomain(QStringLiteral("absent"));
    EXPECT_FALSE(read.unreadable || read.identity.exists);
}

TEST(StoreChanges, WatcherPollsWhereTheFolderCannotBeWatchedYet)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("Defaults"));
    TRStoreWatcher watcher(folder);
    QSignalSpy changes(&watcher, &TRStoreWatcher::changed);
    EXPECT_TRUE(watcher.isPolling());

    ASSERT_TRUE(QDir().mkpath(folder));
    writeFile(folder + QStringLiteral("/new.plist"), QByteArrayLiteral("{}"));
    const QDeadlineTimer deadline(30000);
    while (!watcher.hasPendingChange() && changes.isEmpty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    watcher.flush();
    EXPECT_EQ(changes.count(), 1);
    // Now that the folder is there, the system's watcher takes over.
    EXPECT_FALSE(watcher.isPolling());
}
