// The history of versions: kept compactly and read back exactly, bounded, and robust against damaged
// files and a folder it cannot write.
#include "store/TRDomainHistory.h"

#include "StoreTestSupport.h"
#include "plist/TRPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using storetest::EnvGuard;
using storetest::everyKindDictionary;
using storetest::simpleDictionary;

namespace {

const QString kDomain = QStringLiteral("org.example.d");
const QDateTime kStart = QDateTime::fromString(QStringLiteral("2026-11-01T10:00:00Z"), Qt::ISODate);

// The dictionary with the key set (appended when new) or, with a none value, removed.
TRValue with(const TRValue &dictionary, const QString &key, const TRValue &value)
{
    TRDictionary changed;
    bool found = false;
    for (const auto &[name, old] : dictionary.toDictionary()) {
        if (name == key) {
            found = true;
            if (!value.isNone())
                changed.insert(name, value);
        } else {
            changed.insert(name, old);
        }
    }
    if (!found && !value.isNone())
        changed.insert(key, value);
    return TRValue::fromDictionary(std::move(changed));
}

TRValue reversed(const TRValue &dictionary)
{
    TRDictionary changed;
    const TRDictionary &entries = dictionary.toDictionary();
    for (qsizetype at = entries.size() - 1; at >= 0; --at)
        changed.insert(entries.keyAt(at), entries.valueAt(at));
    return TRValue::fromDictionary(std::move(changed));
}

class History : public ::testing::Test
{
protected:
    QString folder() const { return m_dir.path() + QStringLiteral("/history"); }
    QString versionFile(qint64 id) const
    {
        return folder() + QLatin1Char('/') + kDomain +
               QStringLiteral("/%1.plist").arg(id, 8, 10, QLatin1Char('0'));
    }
    TRValue contents(const TRDomainHistory &history, qint64 id) const
    {
        TRValue value;
        QString error;
        EXPECT_TRUE(history.contents(kDomain, id, &value, &error)) << error.toStdString();
        return value;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(History, EveryVersionReadsBackExactlyAndMostAreSmallDifferences)
{
    TRDomainHistory history(folder());
    QList<TRValue> recorded;
    TRValue value = with(everyKindDictionary(), QStringLiteral("big"), simpleDictionary(2000));
    const auto keep = [&](const TRValue &next) {
        value = next;
        recorded.append(next);
        ASSERT_TRUE(history.record(kDomain, next, QString::fromLatin1(TRDomainHistory::kTamrix), nullptr,
                                   kStart.addSecs(recorded.size())));
    };
    keep(value);
    for (int step = 0; step < 24; ++step) {
        switch (step % 6) {
        case 0:
            keep(with(value, QStringLiteral("n%1").arg(step), TRValue::fromInteger(step)));
            break;
        case 1:
            keep(with(value, QStringLiteral("n%1").arg(step - 1), TRValue()));
            break;
        case 2:
            keep(with(value, QStringLiteral("big"),
                      with(simpleDictionary(2000), QStringLiteral("k7"), TRValue::fromReal(-0.0))));
            break;
        case 3:
            keep(with(reversed(value), QStringLiteral("r"), TRValue::fromInteger(step)));
            break;
        case 4:
            keep(with(with(value, QStringLiteral("big"), TRValue()), QStringLiteral("big"),
                      simpleDictionary(3)));
            break;
        case 5:
            keep(with(value, QStringLiteral("big"), simpleDictionary(2000)));
            break;
        }
    }
    keep(TRValue::fromDictionary(TRDictionary()));
    // Equal values, and the keys in the same order (a dictionary's equality does not look at it).
    const auto keys = [](const TRValue &dictionary) {
        QStringList names;
        for (qsizetype at = 0; at < dictionary.toDictionary().size(); ++at)
            names.append(dictionary.toDictionary().keyAt(at));
        return names;
    };
    for (qsizetype at = 0; at < recorded.size(); ++at) {
        const TRValue rebuilt = contents(history, at + 1);
        EXPECT_TRUE(rebuilt == recorded.at(at) && keys(rebuilt) == keys(recorded.at(at)))
            << "version " << at + 1;
    }
    // Whole: the first; the others hold what changed, until the differences outweigh a whole copy.
    const qint64 whole = QFileInfo(versionFile(1)).size();
    EXPECT_LT(QFileInfo(versionFile(2)).size(), whole / 10);

    const QList<TRDomainHistory::Version> versions = history.versions(kDomain);
    ASSERT_EQ(versions.size(), recorded.size());
    EXPECT_EQ(versions.first().id, recorded.size()) << "newest first";
    EXPECT_EQ(versions.last().time, kStart.addSecs(1));
    EXPECT_EQ(versions.at(versions.size() - 2).added, 1);
    EXPECT_EQ(versions.at(versions.size() - 3).removed, 1);
    EXPECT_EQ(versions.at(versions.size() - 4).changed, 1);
    EXPECT_EQ(versions.first().keyCount, 0);
}

TEST_F(History, AHundredOneKeyChangesCostLessThanTwoCopies)
{
    TRDomainHistory history(folder());
    TRValue value = simpleDictionary(2000);
    for (int step = 0; step < 100; ++step) {
        value = with(value, QStringLiteral("k%1").arg(step * 7), TRValue::fromInteger(step));
        ASSERT_TRUE(history.record(kDomain, value, QStringLiteral("Tamrix")));
    }
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(folder() + QLatin1Char('/') + kDomain).entryInfoList(QDir::Files))
        bytes += file.size();
    QByteArray copy;
    ASSERT_TRUE(TRPropertyList::writeBinary(value, &copy));
    EXPECT_LT(bytes, 2 * copy.size());
    // A second history over the same folder (another process) rebuilds the newest from the files.
    TRDomainHistory again(folder());
    EXPECT_EQ(contents(again, 100), value);
    ASSERT_TRUE(again.record(kDomain, simpleDictionary(1), QStringLiteral("Tamrix")));
    EXPECT_EQ(again.versions(kDomain).first().removed, 1999);
}

TEST_F(History, TheSameContentsAgainAreKeptOnce)
{
    TRDomainHistory history(folder());
    for (const char *source : {TRDomainHistory::kTamrix, TRDomainHistory::kAnotherProgram})
        ASSERT_TRUE(history.record(kDomain, simpleDictionary(3), QString::fromLatin1(source)));
    ASSERT_TRUE(history.record(kDomain, simpleDictionary(4), QString::fromLatin1(TRDomainHistory::kImport)));
    const QList<TRDomainHistory::Version> versions = history.versions(kDomain);
    ASSERT_EQ(versions.size(), 2);
    EXPECT_EQ(versions.at(0).source, QStringLiteral("import"));
    EXPECT_EQ(versions.at(1).source, QStringLiteral("Tamrix"));
    EXPECT_FALSE(history.record(kDomain, TRValue::fromInteger(1), QStringLiteral("x")));
}

TEST_F(History, TheBoundsDropTheOldestAndWhatIsLeftStillReads)
{
    const struct
    {
        const char *bound;
        TRDomainHistory::Limits limits;
        int secondsApart;
        int expected;
    } cases[] = {
        {"versions", {5, 30, 1LL << 40}, 1, 5},
        {"days", {100, 30, 1LL << 40}, 86400 * 4, 8},
        {"bytes", {100, 30, 2000}, 1, -1},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.bound);
        QDir(folder()).removeRecursively();
        TRDomainHistory history(folder(), test.limits);
        QList<TRValue> recorded;
        for (int step = 0; step < 14; ++step) {
            recorded.append(with(simpleDictionary(60), QStringLiteral("step"), TRValue::fromInteger(step)));
            ASSERT_TRUE(history.record(kDomain, recorded.last(), QStringLiteral("Tamrix"), nullptr,
                                       kStart.addSecs(qint64(step) * test.secondsApart)));
        }
        const QList<TRDomainHistory::Version> versions = history.versions(kDomain);
        if (test.expected < 0) {
            qint64 bytes = 0;
            for (const QFileInfo &file :
                 QDir(folder() + QLatin1Char('/') + kDomain).entryInfoList(QDir::Files))
                bytes += file.size();
            EXPECT_LE(bytes, test.limits.bytesInAll);
            EXPECT_LT(versions.size(), recorded.size());
            ASSERT_FALSE(versions.isEmpty());
            EXPECT_EQ(versions.first().id, recorded.size());
        } else {
            ASSERT_EQ(versions.size(), test.expected);
        }
        for (const TRDomainHistory::Version &version : versions)
            EXPECT_EQ(contents(history, version.id), recorded.at(version.id - 1)) << version.id;
    }
}

TEST_F(History, ADamagedFileIsNamedAndTheOtherVersionsStillRead)
{
    TRDomainHistory history(folder());
    for (int step = 0; step < 13; ++step)
        ASSERT_TRUE(history.record(kDomain, simpleDictionary(step + 200), QStringLiteral("Tamrix")));
    const struct
    {
        const char *damage;
        QByteArray bytes;
    } cases[] = {
        {"truncated", QByteArray("bplist00\xd1\x01", 10)},
        {"not a property list", QByteArray("hello")},
        {"a difference that does not apply",
         QByteArray(
             "<plist><dict><key>Time</key><date>2026-11-01T10:00:00Z</date><key>Source</key>"
             "<string>Tamrix</string><key>Set</key><dict/><key>Gone</key><array><string>absent</string>"
             "</array></dict></plist>")},
    };
    qsizetype kept = 13;
    for (const auto &test : cases) {
        SCOPED_TRACE(test.damage);
        QFile file(versionFile(5));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(test.bytes);
        file.close();
        QList<TRDomainHistory::Unreadable> unreadable;
        const QList<TRDomainHistory::Version> listed = history.versions(kDomain, &unreadable);
        TRValue value;
        QString error;
        EXPECT_FALSE(history.contents(kDomain, 7, &value, &error)) << "built on the damaged one";
        EXPECT_TRUE(error.contains(QStringLiteral("Version 5"))) << error.toStdString();
        EXPECT_EQ(contents(history, 4), simpleDictionary(203));
        EXPECT_EQ(listed.size() + unreadable.size(), kept);
        if (!unreadable.isEmpty()) {
            EXPECT_EQ(unreadable.first().fileName, versionFile(5));
        }
        // Those built on a file that cannot be read say so (one that reads but does not apply tells
        // when it is rebuilt).
        for (const TRDomainHistory::Version &version : listed)
            EXPECT_EQ(version.problem.isEmpty(), version.id < 5 || version.id > 13 || unreadable.isEmpty())
                << version.id;
        // A version kept now is whole, built on nothing damaged.
        EXPECT_TRUE(history.record(kDomain, simpleDictionary(40 + int(kept)), QStringLiteral("Tamrix")));
        ++kept;
        EXPECT_EQ(contents(history, kept), simpleDictionary(40 + int(kept) - 1));
    }
}

TEST_F(History, AFolderItCannotWriteSaysWhy)
{
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRDomainHistory history(folder());
    QString error;
    EXPECT_FALSE(history.record(kDomain, simpleDictionary(1), QStringLiteral("Tamrix"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(history.versions(kDomain).isEmpty());
}

// A writer that has just read the domain file tells the history its contents: a fresh history takes them
// for the newest version only when that version is of the very file (its identity), and never otherwise.
TEST_F(History, ContentsAWriterHasReadStandForTheNewestVersionOfThatFileOnly)
{
    TRFileIdentity first;
    first.exists = true;
    first.inode = 7;
    first.size = 100;
    TRFileIdentity other = first;
    other.mtimeNanoseconds = 1;
    ASSERT_TRUE(TRDomainHistory(folder()).record(kDomain, simpleDictionary(3), QStringLiteral("Tamrix"),
                                                 nullptr, kStart, first));
    for (const bool sameFile : {true, false}) {
        SCOPED_TRACE(sameFile ? "that file" : "another file");
        // A fresh history, as a new tamrix-tool process has; the hint's contents are the file's when it is
        // that file's, and a stranger's otherwise (which must not be taken).
        TRDomainHistory history(folder());
        history.expectContents(kDomain, sameFile ? first : other,
                               sameFile ? simpleDictionary(3) : simpleDictionary(50));
        ASSERT_TRUE(history.record(kDomain,
                                   with(simpleDictionary(3), QStringLiteral("n"), TRValue::fromInteger(1)),
                                   QStringLiteral("Tamrix"), nullptr, kStart.addSecs(1)));
        const TRDomainHistory::Version newest = history.versions(kDomain).first();
        EXPECT_EQ(newest.added, 1);
        EXPECT_EQ(newest.removed, 0);
        EXPECT_EQ(contents(history, newest.id),
                  with(simpleDictionary(3), QStringLiteral("n"), TRValue::fromInteger(1)));
        ASSERT_TRUE(history.record(kDomain, simpleDictionary(3), QStringLiteral("Tamrix"), nullptr,
                                   kStart.addSecs(2), first));
    }
}

TEST(HistoryFolder, FollowsTheOverrideThenTheStateDirectory)
{
    const QString home = QDir::homePath();
    const struct
    {
        std::optional<QString> overridden, state;
        QString expected;
    } cases[] = {
        {QStringLiteral("/tmp/h"), QStringLiteral("/s"), QStringLiteral("/tmp/h")},
        {std::nullopt, QStringLiteral("/s"), QStringLiteral("/s/tamrix/history")},
        {std::nullopt, QStringLiteral("relative"), home + QStringLiteral("/.local/state/tamrix/history")},
        {std::nullopt, std::nullopt, home + QStringLiteral("/.local/state/tamrix/history")},
    };
    for (const auto &test : cases) {
        const EnvGuard overridden("TAMRIX_HISTORY_DIR", test.overridden);
        const EnvGuard state("XDG_STATE_HOME", test.state);
        EXPECT_EQ(TRDomainHistory::defaultFolder(), test.expected);
    }
}
