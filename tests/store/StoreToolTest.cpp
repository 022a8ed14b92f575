#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "plist/TRPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using storetest::simpleDictionary;
using storetest::writeFile;
using testsupport::readFile;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

// tamrix-tool store, run as a separate process on a private folder.
class StoreTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Others may need to reach the folder: the read-only test runs the tool as another user.
        ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
        m_tool = m_dir.filePath(QStringLiteral("tamrix-tool"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAMRIX_BINARY_DIR "/tools/tamrix-tool"), m_tool));
        ASSERT_EQ(::chmod(QFile::encodeName(m_tool).constData(), 0755), 0);
        m_input = m_dir.filePath(QStringLiteral("input.plist"));
        QByteArray xml;
        ASSERT_TRUE(TRPropertyList::writeXml(simpleDictionary(2, QStringLiteral("new")), &xml));
        writeFile(m_input, xml, 0644);
    }

    QString folder() const { return m_dir.filePath(QStringLiteral("Defaults")); }
    QString historyFolder() const { return m_dir.filePath(QStringLiteral("history")); }

    ToolRun run(const QStringList &args, bool asOtherUser = false,
                const std::function<void()> &childSetUp = {}) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAMRIX_DEFAULTS_DIR"), folder());
        environment.insert(QStringLiteral("TAMRIX_HISTORY_DIR"), historyFolder());
        process.setProcessEnvironment(environment);
        if (asOtherUser) {
            process.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(99);
            });
        } else if (childSetUp) {
            process.setChildProcessModifier(childSetUp);
        }
        process.start(m_tool,
                      args.value(0) == QLatin1String("history") || args.value(0) == QLatin1String("key")
                          ? args
                          : QStringList{QStringLiteral("store")} + args);
        process.waitForFinished(60000);
        return ToolRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QTemporaryDir m_dir;
    QString m_tool;
    QString m_input;
};

TEST_F(StoreTool, RunsTheFiveOperations)
{
    ToolRun result = run({QStringLiteral("dir")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.trimmed(), folder().toUtf8());

    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("com.b"), m_input}).exitCode, 0);
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("com.a"), m_input}).exitCode, 0);
    result = run({QStringLiteral("names")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "com.a\ncom.b\n");

    result = run({QStringLiteral("read"), QStringLiteral("com.a")});
    ASSERT_EQ(result.exitCode, 0);
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::Binary;
    ASSERT_TRUE(TRPropertyList::read(result.out, &value, &format));
    EXPECT_EQ(format, TRPropertyList::Format::Xml);
    EXPECT_EQ(value, simpleDictionary(2, QStringLiteral("new")));

    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("com.a")}).exitCode, 0);
    result = run({QStringLiteral("read"), QStringLiteral("com.a")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_FALSE(result.err.isEmpty());
}

TEST_F(StoreTool, WriteAndRemoveKeepEveryVersionInTheHistory)
{
    const QString name = QStringLiteral("com.h");
    const QString history = QStringLiteral("history");
    // A version another program left is kept before the first write replaces it.
    ASSERT_TRUE(QDir().mkpath(folder()));
    writeFile(folder() + QStringLiteral("/com.h.plist"), "{ old = 1; }", 0644);
    ASSERT_EQ(run({QStringLiteral("write"), name, m_input}).exitCode, 0);
    QByteArray xml;
    ASSERT_TRUE(TRPropertyList::writeXml(simpleDictionary(5), &xml));
    writeFile(m_input, xml, 0644);
    ASSERT_EQ(run({QStringLiteral("write"), name, m_input}).exitCode, 0);
    ASSERT_EQ(run({QStringLiteral("remove"), name}).exitCode, 0);

    ToolRun result = run({history, QStringLiteral("list"), name});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QList<QByteArray> sources;
    for (const QByteArray &line : result.out.trimmed().split('\n'))
        sources.append(line.split('\t').value(0) + ' ' + line.split('\t').value(2) + ' ' +
                       line.split('\t').value(3));
    EXPECT_EQ(sources, (QList<QByteArray>{"1 deleted 0", "2 Tamrix 5", "3 Tamrix 2", "4 another program 1"}));
    result = run({history, QStringLiteral("list"), name, QStringLiteral("--json")});
    const QJsonArray versions =
        QJsonDocument::fromJson(result.out).object().value(QStringLiteral("versions")).toArray();
    ASSERT_EQ(versions.size(), 4);
    EXPECT_EQ(versions.at(2).toObject().value(QStringLiteral("keys")).toInt(), 2);

    result = run({history, QStringLiteral("show"), name, QStringLiteral("3")});
    ASSERT_EQ(result.exitCode, 0);
    TRValue value;
    ASSERT_TRUE(TRPropertyList::read(result.out, &value));
    EXPECT_EQ(value, simpleDictionary(2, QStringLiteral("new")));

    EXPECT_EQ(run({history, QStringLiteral("show"), name, QStringLiteral("5")}).exitCode, 1);
    EXPECT_EQ(run({history, QStringLiteral("list"), QStringLiteral("a/b")}).exitCode, 1);
    EXPECT_EQ(run({history, QStringLiteral("list")}).exitCode, 64);

    // Version 2 holds five keys "v0".."v4", version 3 two keys "new0", "new1".
    result = run({history, QStringLiteral("diff"), name, QStringLiteral("2"), QStringLiteral("3")});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "~ k0 \"v0\" -> \"new0\"\n~ k1 \"v1\" -> \"new1\"\n- k2\n- k3\n- k4\n");
    ASSERT_EQ(run({history, QStringLiteral("restore"), name, QStringLiteral("3")}).exitCode, 0);
    result = run({QStringLiteral("read"), name});
    ASSERT_TRUE(TRPropertyList::read(result.out, &value));
    EXPECT_EQ(value, simpleDictionary(2, QStringLiteral("new")));
    EXPECT_TRUE(run({history, QStringLiteral("diff"), name, QStringLiteral("1")}).out.isEmpty());
    EXPECT_TRUE(run({history, QStringLiteral("list"), name}).out.startsWith("1\t"));
    EXPECT_TRUE(run({history, QStringLiteral("list"), name}).out.contains("\trestore\t2\n"));

    // A history that cannot be written is told and does not stop the write.
    ASSERT_TRUE(QDir(historyFolder()).removeRecursively());
    writeFile(historyFolder(), "not a folder", 0644);
    result = run({QStringLiteral("write"), name, m_input});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains("could not be kept")) << result.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("read"), name}).exitCode, 0);
}

// Bad input exits with status 1, a command-line mistake with 64; both with a message.
TEST_F(StoreTool, RefusesBadInputWithAMessage)
{
    const QString arrayFile = m_dir.filePath(QStringLiteral("array.plist"));
    QByteArray xml;
    ASSERT_TRUE(TRPropertyList::writeXml(TRValue::fromArray({TRValue::fromInteger(1)}), &xml));
    writeFile(arrayFile, xml);
    const QString garbageFile = m_dir.filePath(QStringLiteral("garbage.plist"));
    writeFile(garbageFile, "<plist><dict>");

    const QList<std::pair<QStringList, int>> bad{
        {{}, 64},
        {{QStringLiteral("frobnicate")}, 64},
        {{QStringLiteral("read")}, 64},
        {{QStringLiteral("write"), QStringLiteral("../up"), m_input}, 1},
        {{QStringLiteral("write"), QStringLiteral("ok"), arrayFile}, 1},
        {{QStringLiteral("write"), QStringLiteral("ok"), garbageFile}, 1},
        {{QStringLiteral("write"), QStringLiteral("ok"), m_dir.filePath(QStringLiteral("missing"))}, 1},
        {{QStringLiteral("remove"), QString()}, 1},
    };
    for (const auto &[args, status] : bad) {
        const ToolRun result = run(args);
        EXPECT_EQ(result.exitCode, status) << args.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("up.plist"))));
    EXPECT_TRUE(QDir(folder()).entryList({QStringLiteral("*.plist")}, QDir::Files).isEmpty());
}

TEST_F(StoreTool, ReadOnlyFolderReportsFailuresAndChangesNothing)
{
    ASSERT_EQ(run({QStringLiteral("write"), QStringLiteral("com.x"), m_input}).exitCode, 0);
    const QString domainFile = folder() + QStringLiteral("/com.x.plist");
    ASSERT_EQ(::chmod(QFile::encodeName(domainFile).constData(), 0644), 0);
    const QByteArray before = readFile(domainFile);
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0555), 0);

    // Root writes anywhere: the tool then runs as nobody, for whom the folder is read-only.
    const bool other = ::geteuid() == 0;
    QByteArray xml;
    ASSERT_TRUE(TRPropertyList::writeXml(simpleDictionary(9), &xml));
    writeFile(m_input, xml, 0644);

    ToolRun result = run({QStringLiteral("write"), QStringLiteral("com.x"), m_input}, other);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.x.plist")) << result.err.toStdString();
    result = run({QStringLiteral("write"), QStringLiteral("fresh"), m_input}, other);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("fresh.plist")) << result.err.toStdString();
    result = run({QStringLiteral("remove"), QStringLiteral("com.x")}, other);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.x.plist")) << result.err.toStdString();

    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
    EXPECT_EQ(readFile(domainFile), before);
    QStringList left = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.removeAll(QStringLiteral(".lck"));
    EXPECT_EQ(left, QStringList{QStringLiteral("com.x.plist")});
}

TEST_F(StoreTool, RemovalInAFolderThatCannotBeSearchedIsAFailureNotSuccess)
{
    ASSERT_EQ(run({QStringLiteral("write"), QStringLiteral("com.x"), m_input}).exitCode, 0);
    const QString domainFile = folder() + QStringLiteral("/com.x.plist");
    const QByteArray before = readFile(domainFile);
    // Listed but not searchable: whether the domain file exists cannot be told, so it cannot be
    // called removed.
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0744), 0);
    const bool other = ::geteuid() == 0;
    if (!other) {
        ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0644), 0);
    }

    const ToolRun result = run({QStringLiteral("remove"), QStringLiteral("com.x")}, other);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.x.plist")) << result.err.toStdString();

    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0755), 0);
    EXPECT_EQ(readFile(domainFile), before);
}

TEST_F(StoreTool, AFullDiskIsAFailureAndKeepsTheOldFile)
{
    ASSERT_EQ(run({QStringLiteral("write"), QStringLiteral("com.x"), m_input}).exitCode, 0);
    const QString domainFile = folder() + QStringLiteral("/com.x.plist");
    const QByteArray before = readFile(domainFile);
    QByteArray xml;
    ASSERT_TRUE(TRPropertyList::writeXml(simpleDictionary(9), &xml));
    writeFile(m_input, xml, 0644);

    // Not one byte may be written, as on a full disk.
    const ToolRun result = run({QStringLiteral("write"), QStringLiteral("com.x"), m_input}, false, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none{};
        ::getrlimit(RLIMIT_FSIZE, &none);
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.x.plist")) << result.err.toStdString();
    EXPECT_EQ(readFile(domainFile), before);
}

TEST_F(StoreTool, NamesAreOneLineEachAndWhatCannotBeNamedIsReported)
{
    ASSERT_EQ(run({QStringLiteral("write"), QStringLiteral("two\nlines"), m_input}).exitCode, 0);
    ASSERT_EQ(run({QStringLiteral("write"), QStringLiteral("plain"), m_input}).exitCode, 0);
    const QByteArray undecodable = QFile::encodeName(folder()) + "/bad\xff.plist";
    const int fd = ::open(undecodable.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    ToolRun result = run({QStringLiteral("names")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "plain\ntwo\\nlines\n");
    EXPECT_TRUE(result.err.contains("bad\\\\xff.plist")) << result.err.toStdString(); // its bytes, escaped

    result = run({QStringLiteral("names"), QStringLiteral("--json")});
    EXPECT_EQ(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    EXPECT_EQ(json.value(QStringLiteral("names")).toArray(),
              (QJsonArray{QStringLiteral("plain"), QStringLiteral("two\nlines")}));
    EXPECT_EQ(json.value(QStringLiteral("unreadable")).toArray().size(), 1);

    // An argument that is not UTF-8 names nothing the tool could find again: refused.
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAMRIX_DEFAULTS_DIR"), folder());
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("exec \"$0\" store write \"$(printf 'x\\377')\" \"$1\""), m_tool, m_input});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 64);
    EXPECT_TRUE(shell.readAllStandardError().contains("UTF-8"));
    EXPECT_EQ(QDir(folder()).entryList({QStringLiteral("x*")}, QDir::Files), QStringList());
    ::unlink(undecodable.constData()); // a name QTemporaryDir could not name back
}

TEST_F(StoreTool, KeyCommandsWriteByPathAndFailuresChangeNothing)
{
    const auto key = [](std::initializer_list<const char *> words) {
        QStringList args{QStringLiteral("key")};
        for (const char *word : words)
            args.append(QString::fromUtf8(word));
        return args;
    };
    // Each write, then what key read prints of the key it wrote.
    const struct
    {
        std::initializer_list<const char *> write;
        const char *path;
        const char *printed;
    } writes[] = {
        {{"write", "org.k", "Top/s", "-string", "two words"}, "Top/s", "\"two words\""},
        {{"write", "org.k", "Top/i", "-int", "-5"}, "Top/i", "<*I-5>"},
        {{"write", "org.k", "Top/r", "-float", "1.5"}, "Top/r", "<*R1.5>"},
        {{"write", "org.k", "Top/b", "-bool", "NO"}, "Top/b", "<*BN>"},
        {{"write", "org.k", "Top/d", "-date", "2024-01-02T03:04:05Z"},
         "Top/d",
         "<*D2024-01-02 03:04:05 +0000>"},
        {{"write", "org.k", "Top/x", "-data", "0fab"}, "Top/x", "<0fab>"},
        {{"write", "org.k", "Top/l", "(1, <*I2>)"}, "Top/l", "(1, <*I2>)"},
        {{"write", "org.k", "Top/l/2", "{a = b;}"}, "Top/l", "(1, <*I2>, {a = b; })"},
        {{"write", "org.k", "Top/l", "-array-add", "-int", "3"}, "Top/l/3", "<*I3>"},
        {{"write", "org.k", "a\\/b", "<*BY>"}, "a\\/b", "<*BY>"},
        // Not a property list and not opening as one: the string itself, as GNUstep's defaults takes it.
        {{"write", "org.k", "Top/w", "x = b)"}, "Top/w", "\"x = b)\""},
        {{"rename", "org.k", "Top/s", "t"}, "Top/t", "\"two words\""},
    };
    for (const auto &w : writes) {
        const QStringList args = key(w.write);
        const ToolRun wrote = run(args);
        ASSERT_EQ(wrote.exitCode, 0) << args.join(u' ').toStdString() << wrote.err.toStdString();
        const ToolRun read = run(key({"read", "org.k", w.path}));
        EXPECT_EQ(read.out.trimmed().toStdString(), w.printed) << args.join(u' ').toStdString();
    }
    EXPECT_EQ(run(key({"type", "org.k", "Top/l"})).out.trimmed(), "array");

    // Failures: the exit status, a reason, and the file untouched byte for byte.
    const QByteArray before = readFile(folder() + QStringLiteral("/org.k.plist"));
    const struct
    {
        std::initializer_list<const char *> args;
        int status;
        const char *reason;
    } failures[] = {
        {{"read", "org.k", "Top/none"}, 1, "No key Top/none in org.k"},
        {{"read", "org.none"}, 1, "No domain org.none"},
        {{"write", "org.k", "Top/i/deeper", "1"}, 1, "Top/i in org.k is neither a list nor a dictionary"},
        {{"write", "org.k", "Top/l/9", "1"}, 1, "No key Top/l/9 in org.k"},
        {{"write", "org.k", "Top/i", "-int", "five"}, 1, "five is not a valid -int value"},
        {{"write", "org.k", "Top/i", "(unclosed"}, 1, ""},
        {{"delete", "org.k", "Top/none"}, 1, "No key Top/none in org.k"},
        {{"rename", "org.k", "Top/t", "i"}, 1, "Key exists: i"},
        {{"write", "org.k"}, 64, "usage"},
    };
    for (const auto &f : failures) {
        const QStringList args = key(f.args);
        const ToolRun result = run(args);
        EXPECT_EQ(result.exitCode, f.status) << args.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(f.reason)) << result.err.toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
    EXPECT_EQ(readFile(folder() + QStringLiteral("/org.k.plist")), before);
    ASSERT_EQ(run(key({"delete", "org.k", "Top/l/0"})).exitCode, 0);
    EXPECT_EQ(run(key({"read", "org.k", "Top/l/0"})).out.trimmed(), "<*I2>");
    // store find: names, and with --values the values too, case-insensitive.
    EXPECT_EQ(run({QStringLiteral("find"), QStringLiteral("TOP/T")}).out, "");
    // A renamed key keeps its place: t is where s was, first.
    EXPECT_TRUE(run({QStringLiteral("find"), QStringLiteral("T")})
                    .out.startsWith("org.k/Top = {t = \"two words\"; "));
    EXPECT_EQ(run({QStringLiteral("find"), QStringLiteral("WORDS"), QStringLiteral("--values")}).out,
              "org.k/Top/t = \"two words\"\n");
}

TEST_F(StoreTool, ConcurrentKeyWritersLoseNothing)
{
    // Eight processes, 25 distinct keys each, into one domain at once.
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int writer = 0; writer < 8; ++writer) {
        auto shell = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAMRIX_DEFAULTS_DIR"), folder());
        environment.insert(QStringLiteral("TAMRIX_HISTORY_DIR"), historyFolder());
        shell->setProcessEnvironment(environment);
        shell->start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral("for i in $(seq 1 25); do \"$0\" key write org.c w%1/k$i -int $i || exit 1; done")
                 .arg(writer),
             m_tool});
        writers.push_back(std::move(shell));
    }
    for (const auto &shell : writers) {
        ASSERT_TRUE(shell->waitForFinished(120000));
        EXPECT_EQ(shell->exitCode(), 0) << shell->readAllStandardError().toStdString();
    }
    TRValue stored;
    ASSERT_TRUE(TRPropertyList::read(readFile(folder() + QStringLiteral("/org.c.plist")), &stored));
    int found = 0;
    for (const auto &[name, keys] : stored.toDictionary())
        found += int(keys.toDictionary().size());
    EXPECT_EQ(found, 200);
}

// store watch prints each change as it lands: keys added, changed and removed at any depth, a domain made
// and removed as one line each, only the domains asked for, and an unreadable file on standard error
// without being taken for a removal.
TEST_F(StoreTool, WatchPrintsEveryChangeAsItLands)
{
    ASSERT_EQ(run({QStringLiteral("key"), QStringLiteral("write"), QStringLiteral("org.w"),
                   QStringLiteral("A/b"), QStringLiteral("-int"), QStringLiteral("5")})
                  .exitCode,
              0);
    QProcess watch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAMRIX_DEFAULTS_DIR"), folder());
    watch.setProcessEnvironment(environment);
    watch.start(m_tool, {QStringLiteral("store"), QStringLiteral("watch"), QStringLiteral("org.w"),
                         QStringLiteral("org.new")});
    ASSERT_TRUE(watch.waitForStarted());
    const auto key = [this](const char *command, const char *domain, const char *path,
                            QStringList rest = {}) {
        const ToolRun done = run(QStringList{QStringLiteral("key"), QString::fromLatin1(command),
                                             QString::fromLatin1(domain), QString::fromLatin1(path)} +
                                 rest);
        EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
    };
    // Once a change of ours shows, the watch is up.
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains("org.w/ready"); ++i) {
        key("write", "org.w", "ready", {QStringLiteral("-int"), QString::number(i)});
        watch.waitForReadyRead(100);
        out += watch.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("org.w/ready")) << out.toStdString();
    watch.waitForReadyRead(200);
    watch.readAllStandardOutput();

    const struct
    {
        std::function<void()> change;
        const char *line; // without the time
    } steps[] = {
        {[&] {
             key("write", "org.w", "A/b", {QStringLiteral("-int"), QStringLiteral("6")});
         },
         "org.w/A/b <*I5> -> <*I6>"},
        {[&] { key("write", "org.w", "A/c", {QStringLiteral("two words")}); }, "org.w/A/c + \"two words\""},
        {[&] { key("delete", "org.w", "A/b"); }, "org.w/A/b - <*I6>"},
        {[&] { key("write", "org.other", "x", {QStringLiteral("1")}); }, nullptr},
        {[&] {
             key("write", "org.new", "k", {QStringLiteral("-string"), QStringLiteral("hi")});
         },
         "org.new + {k = hi; }"},
        {[&] {
             EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("org.new")}).exitCode, 0);
         },
         "org.new - {k = hi; }"},
        {[&] { writeFile(folder() + QStringLiteral("/org.w.plist"), "not a property list", 0644); }, nullptr},
        {[&] { key("write", "org.new", "k", {QStringLiteral("2")}); }, "org.new + {k = 2; }"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.line ? step.line : "(nothing)");
        step.change();
        // A line comes at once; nothing for a change outside the watch (the next step's line follows).
        if (!step.line)
            continue;
        QByteArray line;
        for (int i = 0; i < 100 && !line.contains('\n'); ++i) {
            watch.waitForReadyRead(100);
            line += watch.readAllStandardOutput();
        }
        ASSERT_TRUE(line.endsWith('\n')) << line.toStdString();
        EXPECT_EQ(line.count('\n'), 1) << line.toStdString();
        EXPECT_EQ(line.mid(line.indexOf(' ') + 1).chopped(1), QByteArray(step.line));
    }
    watch.terminate();
    ASSERT_TRUE(watch.waitForFinished(10000));
    EXPECT_EQ(watch.exitCode(), 0);
    const QByteArray err = watch.readAllStandardError();
    EXPECT_TRUE(err.contains("cannot read") && err.contains("org.w.plist")) << err.toStdString();
    EXPECT_FALSE(watch.readAllStandardOutput().contains("org.w -")) << "an unreadable file is not a removal";
}
