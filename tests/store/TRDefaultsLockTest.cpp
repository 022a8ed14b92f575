// The store under GNUstep's lock: waiting, breaking stale locks, giving up, and concurrent writers.
#include "store/TRDefaultsLock.h"

#include "StoreFixture.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using storetest::simpleDictionary;
using storetest::writeFile;

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
