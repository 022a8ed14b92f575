// The store against GNUstep's own `defaults` command, both working on one private folder named by a
// private GNUstep configuration file (never the real home). Skipped where `defaults` is not installed.
#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsLock.h"
#include "store/TRDefaultsStore.h"
#include "store/TRPreferences.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using storetest::EnvGuard;
using storetest::fileMode;
using storetest::writeFile;
using testsupport::readFile;

namespace {

struct DefaultsRun
{
    int exitCode = -1;
    QString out;
};

double secondsSince2001(int year, int month, int day, int hour, int minute, int second)
{
    const QDateTime moment(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
    return double(moment.toSecsSinceEpoch() - 978307200);
}

} // namespace

class GnustepInterop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_defaults = QStandardPaths::findExecutable(QStringLiteral("defaults"));
        if (m_defaults.isEmpty())
            GTEST_SKIP()
                << "SKIPPED: GNUstep's `defaults` command is not installed (package gnustep-base-runtime); "
                   "the interop test with GNUstep does not run here.";
        ASSERT_TRUE(m_dir.isValid());
        m_config = m_dir.filePath(QStringLiteral("GNUstep.conf"));
        // An absolute folder and no per-user file: nothing of the real home is read or written.
        writeFile(m_config,
                  "GNUSTEP_USER_DEFAULTS_DIR='" + folder().toUtf8() + "'\nGNUSTEP_USER_CONFIG_FILE=\n", 0644);
        m_forced = std::make_unique<EnvGuard>("TAMRIX_DEFAULTS_DIR", std::nullopt);
        m_configFile = std::make_unique<EnvGuard>("GNUSTEP_CONFIG_FILE", m_config);
        m_store = std::make_unique<TRDefaultsStore>(TRDefaultsStore::resolveFolder());
    }

    QString folder() const { return m_dir.filePath(QStringLiteral("Defaults")); }
    QString file(const QString &name) const { return folder() + u'/' + name; }

    QProcess *startDefaults(const QStringList &args) const
    {
        auto *process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GNUSTEP_CONFIG_FILE"), m_config);
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(m_dir.path());
        process->start(m_defaults, args);
        return process;
    }

    DefaultsRun defaults(const QStringList &args) const
    {
        const std::unique_ptr<QProcess> process(startDefaults(args));
        process->waitForFinished(60000);
        return DefaultsRun{process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                           QString::fromUtf8(process->readAllStandardOutput())};
    }

    // `defaults read DOMAIN KEY`, without the leading "DOMAIN KEY " and the trailing newline.
    QString gnustepValue(const QString &domain, const QString &key) const
    {
        const DefaultsRun run = defaults({QStringLiteral("read"), domain, key});
        EXPECT_EQ(run.exitCode, 0) << key.toStdString();
        QString out = run.out.trimmed();
        const QString prefix = domain + u' ' + key + u' ';
        EXPECT_TRUE(out.startsWith(prefix)) << out.toStdString();
        return out.mid(prefix.size());
    }

    QStringList leftovers() const
    {
        QStringList list =
            QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        list.removeAll(QStringLiteral(".lck"));
        return list;
    }

    QString m_defaults;
    QTemporaryDir m_dir;
    QString m_config;
    std::unique_ptr<EnvGuard> m_forced;
    std::unique_ptr<EnvGuard> m_configFile;
    std::unique_ptr<TRDefaultsStore> m_store;
};

TEST_F(GnustepInterop, BothSidesResolveTheSameFolder)
{
    EXPECT_EQ(m_store->folder(), folder());
    ASSERT_EQ(
        defaults({QStringLiteral("write"), QStringLiteral("probe"), QStringLiteral("k"), QStringLiteral("v")})
            .exitCode,
        0);
    EXPECT_TRUE(QFileInfo::exists(file(QStringLiteral("probe.plist"))));
    EXPECT_EQ(m_store->persistentDomainNames(), QStringList{QStringLiteral("probe")});
    ASSERT_TRUE(m_store->setPersistentDomain(storetest::simpleDictionary(1), QStringLiteral("ours")));
    EXPECT_TRUE(defaults({QStringLiteral("domains")}).out.split(u'\n').contains(QStringLiteral("ours")));
}

TEST_F(GnustepInterop, EveryKindWrittenByGnustepReadsBackEqual)
{
    const QList<std::pair<QString, QString>> writes{
        {QStringLiteral("string"), QStringLiteral("\"hello wörld\"")},
        {QStringLiteral("integer"), QStringLiteral("<*I-42>")},
        {QStringLiteral("real"), QStringLiteral("<*R2.5>")},
        {QStringLiteral("boolean"), QStringLiteral("<*BY>")},
        {QStringLiteral("date"), QStringLiteral("<*D2024-01-02 03:04:05 +0000>")},
        {QStringLiteral("data"), QStringLiteral("<48656c6c 6f00ff>")},
        {QStringLiteral("array"), QStringLiteral("(a, \"b c\", <*I1>)")},
        {QStringLiteral("dict"), QStringLiteral("{k = v; n = <*I2>; inner = (<*BN>);}")},
    };
    for (const auto &[key, text] : writes)
        ASSERT_EQ(defaults({QStringLiteral("write"), QStringLiteral("g"), key, text}).exitCode, 0)
            << key.toStdString();

    TRDictionary inner;
    inner.insert(QStringLiteral("k"), TRValue::fromString(QStringLiteral("v")));
    inner.insert(QStringLiteral("n"), TRValue::fromInteger(2));
    inner.insert(QStringLiteral("inner"), TRValue::fromArray({TRValue::fromBool(false)}));
    const QList<std::pair<QString, TRValue>> expected{
        {QStringLiteral("string"), TRValue::fromString(QStringLiteral("hello wörld"))},
        {QStringLiteral("integer"), TRValue::fromInteger(-42)},
        {QStringLiteral("real"), TRValue::fromReal(2.5)},
        {QStringLiteral("boolean"), TRValue::fromBool(true)},
        {QStringLiteral("date"), TRValue::fromDate(secondsSince2001(2024, 1, 2, 3, 4, 5))},
        {QStringLiteral("data"), TRValue::fromData(QByteArray("Hello\x00\xff", 7))},
        {QStringLiteral("array"),
         TRValue::fromArray({TRValue::fromString(QStringLiteral("a")),
                             TRValue::fromString(QStringLiteral("b c")), TRValue::fromInteger(1)})},
        {QStringLiteral("dict"), TRValue::fromDictionary(inner)},
    };
    const TRValue domain = m_store->persistentDomainForName(QStringLiteral("g"));
    ASSERT_TRUE(domain.isDictionary());
    EXPECT_EQ(domain.toDictionary().size(), expected.size());
    for (const auto &[key, value] : expected) {
        const TRValue got = domain.toDictionary().value(key);
        EXPECT_EQ(got, value) << key.toStdString() << ": " << got.description().toStdString();
    }
}

TEST_F(GnustepInterop, EveryKindWrittenByUsReadsBackThroughGnustep)
{
    TRDictionary inner;
    inner.insert(QStringLiteral("k"), TRValue::fromString(QStringLiteral("v")));
    TRDictionary entries;
    entries.insert(QStringLiteral("string"), TRValue::fromString(QStringLiteral("hello world")));
    entries.insert(QStringLiteral("integer"), TRValue::fromInteger(-42));
    entries.insert(QStringLiteral("real"), TRValue::fromReal(2.5));
    entries.insert(QStringLiteral("boolean"), TRValue::fromBool(true));
    entries.insert(QStringLiteral("date"), TRValue::fromDate(secondsSince2001(2024, 1, 2, 3, 4, 5)));
    entries.insert(QStringLiteral("data"), TRValue::fromData(QByteArray("Hello\x00\xff", 7)));
    entries.insert(QStringLiteral("array"),
                   TRValue::fromArray({TRValue::fromString(QStringLiteral("a")), TRValue::fromInteger(1)}));
    entries.insert(QStringLiteral("dict"), TRValue::fromDictionary(inner));
    const TRValue domain = TRValue::fromDictionary(entries);
    ASSERT_TRUE(m_store->setPersistentDomain(domain, QStringLiteral("ours")));

    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("string")),
              QStringLiteral("'hello world'"));
    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("integer")), QStringLiteral("-42"));
    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("real")), QStringLiteral("2.5"));
    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("boolean")), QStringLiteral("1"));
    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("date")),
              QStringLiteral("2024-01-02T03:04:05Z"));
    EXPECT_EQ(gnustepValue(QStringLiteral("ours"), QStringLiteral("data")),
              QStringLiteral("'<48656c6c 6f00ff>'"));

    // GNUstep rewrites the whole file when it adds a key: every kind must survive its reading exactly.
    ASSERT_EQ(defaults({QStringLiteral("write"), QStringLiteral("ours"), QStringLiteral("added"),
                        QStringLiteral("<*I7>")})
                  .exitCode,
              0);
    const TRValue back = m_store->persistentDomainForName(QStringLiteral("ours"));
    ASSERT_TRUE(back.isDictionary());
    for (const auto &[key, value] : entries)
        EXPECT_EQ(back.toDictionary().value(key), value) << key.toStdString();
    EXPECT_EQ(back.toDictionary().value(QStringLiteral("added")), TRValue::fromInteger(7));
}

TEST_F(GnustepInterop, RemovalBothWays)
{
    ASSERT_EQ(defaults({QStringLiteral("write"), QStringLiteral("theirs"), QStringLiteral("k"),
                        QStringLiteral("v")})
                  .exitCode,
              0);
    ASSERT_TRUE(m_store->setPersistentDomain(storetest::simpleDictionary(1), QStringLiteral("ours")));
    ASSERT_TRUE(m_store->removePersistentDomainForName(QStringLiteral("theirs")));
    EXPECT_FALSE(defaults({QStringLiteral("domains")}).out.split(u'\n').contains(QStringLiteral("theirs")));
    ASSERT_EQ(defaults({QStringLiteral("delete"), QStringLiteral("ours")}).exitCode, 0);
    EXPECT_TRUE(m_store->persistentDomainNames().isEmpty());
    EXPECT_TRUE(m_store->persistentDomainForName(QStringLiteral("ours")).isNone());
}

TEST_F(GnustepInterop, BinaryStaysBinaryKeepsItsModeAndGnustepReadsIt)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    QByteArray binary;
    ASSERT_TRUE(TRPropertyList::writeBinary(storetest::simpleDictionary(2), &binary));
    writeFile(file(QStringLiteral("bin.plist")), binary, 0640);
    EXPECT_EQ(gnustepValue(QStringLiteral("bin"), QStringLiteral("k1")), QStringLiteral("v1"));

    ASSERT_TRUE(m_store->setPersistentDomain(storetest::simpleDictionary(3, QStringLiteral("new")),
                                             QStringLiteral("bin")));
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::Xml;
    ASSERT_TRUE(TRPropertyList::read(readFile(file(QStringLiteral("bin.plist"))), &value, &format));
    EXPECT_EQ(format, TRPropertyList::Format::Binary);
    EXPECT_EQ(fileMode(file(QStringLiteral("bin.plist"))), 0640);
    EXPECT_EQ(gnustepValue(QStringLiteral("bin"), QStringLiteral("k2")), QStringLiteral("new2"));
}

TEST_F(GnustepInterop, UnreadableFileIsSetAsideNotLost)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QByteArray garbage = "not { a property ( list";
    writeFile(file(QStringLiteral("junk.plist")), garbage, 0600);
    EXPECT_FALSE(m_store->persistentDomainNames().contains(QStringLiteral("junk")));
    ASSERT_TRUE(m_store->setPersistentDomain(storetest::simpleDictionary(1), QStringLiteral("junk")));
    const QStringList aside =
        QDir(folder()).entryList({QStringLiteral("junk.plist.unreadable-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(file(aside.first())), garbage);
    EXPECT_EQ(gnustepValue(QStringLiteral("junk"), QStringLiteral("k0")), QStringLiteral("v0"));
    // GNUstep does not take the set-aside file for a domain.
    const QStringList theirs = defaults({QStringLiteral("domains")}).out.split(u'\n');
    EXPECT_TRUE(theirs.contains(QStringLiteral("junk")));
    for (const QString &name : theirs)
        EXPECT_FALSE(name.contains(QStringLiteral("unreadable"))) << name.toStdString();
}

TEST_F(GnustepInterop, GnustepWaitsForOurLockAndAStaleLockIsBroken)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    std::unique_ptr<QProcess> writer;
    {
        const TRDefaultsLock lock(folder());
        ASSERT_TRUE(lock.isHeld());
        writer.reset(startDefaults(
            {QStringLiteral("write"), QStringLiteral("waited"), QStringLiteral("k"), QStringLiteral("v")}));
        ASSERT_TRUE(writer->waitForStarted());
        QThread::msleep(1500);
        EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("waited.plist"))))
            << "GNUstep wrote while we held the lock";
    }
    ASSERT_TRUE(writer->waitForFinished(60000));
    EXPECT_EQ(writer->exitCode(), 0);
    EXPECT_EQ(
        m_store->persistentDomainForName(QStringLiteral("waited")).toDictionary().value(QStringLiteral("k")),
        TRValue::fromString(QStringLiteral("v")));

    // A lock left behind by a crashed GNUstep program, a minute old: broken, used and removed.
    const QString lockPath = TRDefaultsLock::lockPath(folder());
    ASSERT_TRUE(QDir().mkpath(lockPath));
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lockPath).constData(), times, 0), 0);
    ASSERT_TRUE(m_store->setPersistentDomain(storetest::simpleDictionary(1), QStringLiteral("after")));
    EXPECT_FALSE(QFileInfo::exists(lockPath));
    EXPECT_EQ(gnustepValue(QStringLiteral("after"), QStringLiteral("k0")), QStringLiteral("v0"));
}

TEST_F(GnustepInterop, ConcurrentWritersLoseNoKeyAndLeaveNothingBehind)
{
    TRDefaultsLock::setTiming({10, 20000, 25000});
    constexpr int kGnustepWriters = 8;
    constexpr int kOurWrites = 20;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kGnustepWriters; ++i) {
        writers.emplace_back(startDefaults({QStringLiteral("write"), QStringLiteral("shared"),
                                            QStringLiteral("g%1").arg(i), QStringLiteral("<*I%1>").arg(i)}));
    }
    TRPreferences ours(*m_store, QStringLiteral("shared"));
    for (int i = 0; i < kOurWrites; ++i)
        ASSERT_TRUE(ours.setValue(QStringLiteral("t%1").arg(i), TRValue::fromInteger(i)));
    for (const auto &writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), 0);
    }
    TRDefaultsLock::setTiming(TRDefaultsLock::Timing{});

    const TRValue shared = m_store->persistentDomainForName(QStringLiteral("shared"));
    ASSERT_TRUE(shared.isDictionary());
    for (int i = 0; i < kGnustepWriters; ++i)
        EXPECT_EQ(shared.toDictionary().value(QStringLiteral("g%1").arg(i)), TRValue::fromInteger(i)) << i;
    for (int i = 0; i < kOurWrites; ++i)
        EXPECT_EQ(shared.toDictionary().value(QStringLiteral("t%1").arg(i)), TRValue::fromInteger(i)) << i;
    EXPECT_EQ(shared.toDictionary().size(), kGnustepWriters + kOurWrites);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("shared.plist")});
    EXPECT_FALSE(QFileInfo::exists(TRDefaultsLock::lockPath(folder())));
}

// tamrix-tool's key paths against GNUstep's `defaults`: each reads what the other wrote, the typed text
// `key read` prints is what `defaults write` takes back unchanged, and `store watch` prints the change
// `defaults` makes.
TEST_F(GnustepInterop, KeyPathsBothWaysAndWatchSeesDefaults)
{
    const QString historyFolder = m_dir.filePath(QStringLiteral("history"));
    const auto startTool = [&](const QStringList &args) {
        auto *process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GNUSTEP_CONFIG_FILE"), m_config);
        environment.remove(QStringLiteral("TAMRIX_DEFAULTS_DIR"));
        environment.insert(QStringLiteral("TAMRIX_HISTORY_DIR"), historyFolder);
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(TAMRIX_BINARY_DIR "/tools/tamrix-tool"), args);
        return process;
    };
    const auto tool = [&](const QStringList &args) {
        const std::unique_ptr<QProcess> process(startTool(args));
        process->waitForFinished(60000);
        EXPECT_EQ(process->exitCode(), 0)
            << args.join(u' ').toStdString() << ": " << process->readAllStandardError().toStdString();
        // Without its line break; a write prints nothing.
        QString out = QString::fromUtf8(process->readAllStandardOutput());
        if (out.endsWith(u'\n'))
            out.chop(1);
        return out;
    };
    const QString key = QStringLiteral("key");
    // What we write, and what GNUstep's `defaults read` prints of it.
    const struct
    {
        QStringList write;
        const char *readByGnustep;
    } kinds[] = {
        {{QStringLiteral("Top/inner/n"), QStringLiteral("-int"), QStringLiteral("5")}, nullptr},
        {{QStringLiteral("Top/list"), QStringLiteral("(a, \"b c\")")},
         "'{\n    inner = {\n\tn = 5;\n    };\n    list = (\n\ta,\n\t\"b c\"\n    );\n}'"},
        {{QStringLiteral("s"), QStringLiteral("-string"), QStringLiteral("é \"x\"\\n")}, "'é \"x\"\\n'"},
        {{QStringLiteral("r"), QStringLiteral("-float"), QStringLiteral("1.5")}, "1.5"},
        {{QStringLiteral("b"), QStringLiteral("-bool"), QStringLiteral("YES")}, "1"},
        {{QStringLiteral("d"), QStringLiteral("-date"), QStringLiteral("2024-01-02T03:04:05Z")},
         "2024-01-02T03:04:05Z"},
        {{QStringLiteral("da"), QStringLiteral("-data"), QStringLiteral("0fab")}, "<0fab>"},
        {{QStringLiteral("e"), QStringLiteral("-string"), QString()}, "''"},
    };
    for (const auto &kind : kinds) {
        tool(QStringList{key, QStringLiteral("write"), QStringLiteral("ours")} + kind.write);
        if (!kind.readByGnustep)
            continue;
        const QString top = kind.write.first().section(u'/', 0, 0);
        EXPECT_EQ(gnustepValue(QStringLiteral("ours"), top), QString::fromUtf8(kind.readByGnustep));
        // GNUstep takes our text back as the same value, and we read what it wrote.
        const QString text = tool({key, QStringLiteral("read"), QStringLiteral("ours"), top});
        ASSERT_EQ(defaults({QStringLiteral("write"), QStringLiteral("theirs"), top, text}).exitCode, 0);
        EXPECT_EQ(tool({key, QStringLiteral("read"), QStringLiteral("theirs"), top}), text);
        EXPECT_EQ(tool({key, QStringLiteral("type"), QStringLiteral("theirs"), top}),
                  tool({key, QStringLiteral("type"), QStringLiteral("ours"), top}));
    }
    EXPECT_EQ(m_store->persistentDomainForName(QStringLiteral("theirs")),
              m_store->persistentDomainForName(QStringLiteral("ours")));

    // The watch is up once it prints a change of ours; then one made by `defaults` comes within 2 s.
    const std::unique_ptr<QProcess> watch(
        startTool({QStringLiteral("store"), QStringLiteral("watch"), QStringLiteral("ours")}));
    ASSERT_TRUE(watch->waitForStarted());
    QByteArray seen;
    for (int i = 0; i < 100 && !seen.contains("ours/ready"); ++i) {
        tool({key, QStringLiteral("write"), QStringLiteral("ours"), QStringLiteral("ready"),
              QStringLiteral("-int"), QString::number(i)});
        watch->waitForReadyRead(100);
        seen += watch->readAllStandardOutput();
    }
    ASSERT_TRUE(seen.contains("ours/ready")) << seen.toStdString();
    ASSERT_EQ(defaults({QStringLiteral("write"), QStringLiteral("ours"), QStringLiteral("Top"),
                        QStringLiteral("{inner = {n = <*I6>;}; list = (a, \"b c\");}")})
                  .exitCode,
              0);
    QElapsedTimer waited;
    waited.start();
    seen.clear();
    while (!seen.contains('\n') && waited.elapsed() < 2000) {
        watch->waitForReadyRead(50);
        seen += watch->readAllStandardOutput();
    }
    const QList<QByteArray> line = seen.trimmed().split(' ');
    ASSERT_EQ(line.size(), 5) << seen.toStdString();
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(line[0]), Qt::ISODateWithMs).isValid());
    EXPECT_TRUE(line[0].endsWith('Z'));
    EXPECT_EQ(line.mid(1), (QList<QByteArray>{"ours/Top/inner/n", "<*I5>", "->", "<*I6>"}));
    watch->terminate();
    ASSERT_TRUE(watch->waitForFinished(10000));
    EXPECT_EQ(watch->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(watch->exitCode(), 0);
}
