// Both programs' command lines, run as processes: help, version, mistakes (exit status 64) and a machine
// without a display.
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kTamrix = QStringLiteral(TAMRIX_BINARY_DIR "/tamrix");
const QString kTool = QStringLiteral(TAMRIX_BINARY_DIR "/tools/tamrix-tool");

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program with the window-system variables removed, then `set` applied.
ProgramRun runProgram(const QString &program, const QStringList &arguments, const QStringList &set = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const QString &assignment : set)
        environment.insert(assignment.section(QLatin1Char('='), 0, 0),
                           assignment.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
    }
    return ProgramRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                      QString::fromLocal8Bit(process.readAllStandardOutput()),
                      QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CommandLine, AnswersHelpVersionAndMistakes)
{
    struct Case
    {
        QString program;
        QStringList arguments;
        int exitCode;
        QString expected; // on standard output when the status is 0, else on standard error
    };
    const QList<Case> cases{
        {kTamrix, {QStringLiteral("--help")}, 0, QStringLiteral("--version")},
        {kTamrix, {QStringLiteral("-h")}, 0, QStringLiteral("Usage: tamrix")},
        {kTamrix, {QStringLiteral("--version")}, 0, QStringLiteral("Tamrix " TAMRIX_VERSION)},
        {kTamrix, {QStringLiteral("--frobnicate")}, 64, QStringLiteral("frobnicate")},
        {kTamrix, {QStringLiteral("-platform")}, 64, QStringLiteral("platform")},
        {kTamrix, {QStringLiteral("stray")}, 64, QStringLiteral("'stray'")},
        {kTool, {QStringLiteral("--version")}, 0, QStringLiteral("tamrix-tool " TAMRIX_VERSION)},
        {kTool, {QStringLiteral("store"), QStringLiteral("-h")}, 0, QStringLiteral("store remove NAME")},
        {kTool, {}, 64, QStringLiteral("--help")},
        {kTool, {QStringLiteral("--frobnicate")}, 64, QStringLiteral("frobnicate")},
        {kTool, {QStringLiteral("frobnicate")}, 64, QStringLiteral("'frobnicate'")},
        {kTool,
         {QStringLiteral("plist"), QStringLiteral("dump"), QStringLiteral("--frobnicate")},
         64,
         QStringLiteral("'--frobnicate'")},
        {kTool, {QStringLiteral("plist"), QStringLiteral("shred")}, 64, QStringLiteral("usage")},
        {kTool, {QStringLiteral("archive"), QStringLiteral("read")}, 64, QStringLiteral("usage")},
        {kTool,
         {QStringLiteral("plist"), QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b"),
          QStringLiteral("--format"), QStringLiteral("yaml")},
         64,
         QStringLiteral("yaml")},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE((test.program + u' ' + test.arguments.join(u' ')).toStdString());
        const ProgramRun result = runProgram(test.program, test.arguments);
        EXPECT_EQ(result.exitCode, test.exitCode) << result.err.toStdString();
        EXPECT_TRUE((test.exitCode == 0 ? result.out : result.err).contains(test.expected))
            << result.out.toStdString() << result.err.toStdString();
        EXPECT_TRUE((test.exitCode == 0 ? result.err : result.out).isEmpty());
    }
}

TEST(CommandLine, ToolHelpListsEverySubcommand)
{
    const ProgramRun result = runProgram(kTool, {QStringLiteral("--help")});
    ASSERT_EQ(result.exitCode, 0);
    for (const char *subcommand :
         {"plist dump", "plist convert", "plist check", "store dir", "store names", "store read",
          "store write", "store remove", "archive read", "archive write"})
        EXPECT_TRUE(result.out.contains(QStringLiteral("tamrix-tool ") + QLatin1String(subcommand)))
            << subcommand;
}

// Without a display the editor says so in one line; a platform that needs none still starts.
TEST(CommandLine, NoDisplayIsToldInOneLine)
{
    for (const QStringList &set : {QStringList{}, QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb")}}) {
        const ProgramRun result = runProgram(kTamrix, {}, set);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.count(u'\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("DISPLAY"))) << result.err.toStdString();
    }

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QStringList quitAtOnce{QStringLiteral("TAMRIX_DEFAULTS_DIR=") + folder.path(),
                                 QStringLiteral("TAMRIX_QUIT_WHEN_IDLE=1")};
    EXPECT_EQ(runProgram(kTamrix, {}, quitAtOnce + QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen")})
                  .exitCode,
              0);
    const ProgramRun byArgument =
        runProgram(kTamrix, {QStringLiteral("-platform"), QStringLiteral("offscreen")}, quitAtOnce);
    EXPECT_EQ(byArgument.exitCode, 0) << byArgument.err.toStdString();
}
