// Unsaved contents kept for recovery: what a killed process leaves is offered exactly as it was kept,
// a running session's files never are, and a damaged file is named, not applied.
#include "store/TRRecoveryStore.h"

#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using storetest::everyKindDictionary;
using storetest::simpleDictionary;

namespace {

const QString kStore = QStringLiteral("/home/u/GNUstep/Defaults");

const TRFileIdentity kReadFrom{true, 7, 42, 1234, 1700000000, 5};

} // namespace

TEST(Recovery, WhatAKilledProcessKeptIsOfferedAsItWasAndARunningSessionsNever)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    TRRecoveryStore running(folder);
    ASSERT_TRUE(running.keep(QStringLiteral("org.running"), kStore, kReadFrom, simpleDictionary(2)));

    // A child keeps two domains, one of them twice, and is killed.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TRRecoveryStore store(folder);
        const bool kept = store.keep(QStringLiteral("org.a"), kStore, kReadFrom, simpleDictionary(1)) &&
                          store.keep(QStringLiteral("org.a"), kStore, kReadFrom, everyKindDictionary()) &&
                          store.keep(QStringLiteral("org.b"), QStringLiteral("/elsewhere"), TRFileIdentity(),
                                     simpleDictionary(3)) &&
                          store.keep(QStringLiteral("org.gone"), kStore, kReadFrom, simpleDictionary(3));
        store.forget(QStringLiteral("org.gone"));
        if (kept)
            ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child could not keep its files";

    TRRecoveryStore next(folder);
    ASSERT_TRUE(next.open());
    const QList<TRRecoveryStore::Recovered> left = next.leftBehind(kStore);
    ASSERT_EQ(left.size(), 1)
        << "the other store's domain, the forgotten one and the running session's stay out";
    EXPECT_EQ(left[0].domain, QStringLiteral("org.a"));
    EXPECT_EQ(left[0].contents, everyKindDictionary());
    EXPECT_EQ(left[0].readFrom, kReadFrom);
    EXPECT_TRUE(left[0].problem.isEmpty());
    ASSERT_EQ(next.leftBehind().size(), 2);

    // Discarding removes the files, and the killed session's folder with the last of them.
    for (const TRRecoveryStore::Recovered &recovered : next.leftBehind())
        next.discard(recovered);
    EXPECT_TRUE(next.leftBehind().isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2)
        << "the two running sessions";

    // A clean end leaves nothing behind.
    running.close();
    next.close();
    EXPECT_TRUE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST(Recovery, ADamagedFileIsNamedAndNeverApplied)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    QString session;
    {
        TRRecoveryStore ended(folder);
        ASSERT_TRUE(ended.keep(QStringLiteral("org.a"), kStore, kReadFrom, simpleDictionary(2)));
        session = ended.sessionFolder();
    } // ends without close(): as a crash leaves it
    const struct
    {
        const char *damage;
        QByteArray bytes;
    } cases[] = {
        {"truncated", QByteArray("bplist00\xd1\x01", 10)},
        {"not a property list", QByteArray("hello")},
        {"no contents", QByteArray("<plist><dict><key>Store</key><string>/s</string></dict></plist>")},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.damage);
        QFile file(session + QStringLiteral("/d-org.a.plist"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(test.bytes);
        file.close();
        TRRecoveryStore next(folder);
        const QList<TRRecoveryStore::Recovered> left = next.leftBehind();
        ASSERT_EQ(left.size(), 1);
        EXPECT_EQ(left[0].domain, QStringLiteral("org.a"));
        EXPECT_FALSE(left[0].problem.isEmpty());
        EXPECT_TRUE(left[0].contents.isNone());
    }
}

TEST(Recovery, AFolderItCannotWriteSaysWhy)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("recovery")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRRecoveryStore store(blocker.fileName());
    QString error;
    EXPECT_FALSE(store.keep(QStringLiteral("org.a"), kStore, kReadFrom, simpleDictionary(1), &error));
    EXPECT_FALSE(error.isEmpty());
}
