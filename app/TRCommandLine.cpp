#include "TRCommandLine.h"

#include "TRText.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace {

void printText(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The window-system options that QGuiApplication and QApplication take from the command line themselves.
void addQtOptions(QCommandLineParser *parser)
{
    static const char *const valued[] = {"platform",        "platformpluginpath",
                                         "platformtheme",   "plugin",
                                         "qwindowgeometry", "geometry",
                                         "qwindowicon",     "icon",
                                         "qwindowtitle",    "title",
                                         "display",         "name",
                                         "session",         "style",
                                         "stylesheet",      "qmljsdebugger"};
    static const char *const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char *name : valued) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser->addOption(option);
    }
    for (const char *name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser->addOption(option);
    }
}

bool needsDisplay(const QString &platforms)
{
    // QT_QPA_PLATFORM may list fallbacks ("wayland;xcb"), each with options after a colon.
    for (const QString &entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("xcb")) &&
            !name.startsWith(QLatin1String("wayland")))
            return false;
    }
    return true;
}

// The reason a window cannot be shown, or an empty text: the platform asked for (by -platform, else by
// QT_QPA_PLATFORM) needs an X11 or Wayland display and none is named (-display, DISPLAY, WAYLAND_DISPLAY).
// Platforms that need none (offscreen, minimal, vnc, ...) always pass.
QString displayProblem(const QString &platformArgument, bool displayArgument)
{
    const QString platform =
        platformArgument.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platformArgument;
    if (!needsDisplay(platform) || displayArgument || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    return trText("no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); start Tamrix "
                  "in a desktop session");
}

} // namespace

QString TRCommandLine::version()
{
    return QStringLiteral(TAMRIX_VERSION);
}

bool TRCommandLine::read(int argc, char **argv, int *exitCode, QString *file)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("tamrix"))).fileName();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        trText("Edits the per-user defaults database: the preferences programs keep, one domain each."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  trText("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           trText("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(versionOption);
    addQtOptions(&parser);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 trText("An exchange file (.tamdom or .tamdoms) to import at start."),
                                 QStringLiteral("[FILE]"));

    QString error;
    if (!parser.parse(arguments))
        error = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        error = trFormat(trText("unexpected argument '%@'"), {parser.positionalArguments().at(1)});
    if (!error.isEmpty()) {
        printText(stderr, program + QStringLiteral(": ") + error + QLatin1Char('\n') +
                              trFormat(trText("Try '%@ --help' for more information."), {program}) +
                              QLatin1Char('\n'));
        *exitCode = kExitUsage;
        return false;
    }
    if (parser.isSet(help)) {
        // Without an application object Qt cannot know the program's name; the usage line gets it here.
        QString text = parser.helpText();
        text.replace(QLatin1String("<executable_name>"), program);
        // With the application object that reads the command line in the desktop's language, Qt names the
        // program as it was called; the usage line names it by its file name all the same.
        if (!arguments.isEmpty() && arguments.first() != program)
            text.replace(QStringLiteral(" ") + arguments.first() + QStringLiteral(" "),
                         QStringLiteral(" ") + program + QStringLiteral(" "));
        text += QLatin1Char('\n') +
                trText("Qt's window-system options (-platform, -display, -style, ...) are accepted too.\n"
                       "TAMRIX_DEFAULTS_DIR, when set, names the defaults folder to edit.") +
                QLatin1Char('\n');
        printText(stdout, text);
        *exitCode = 0;
        return false;
    }
    if (parser.isSet(versionOption)) {
        printText(stdout, QStringLiteral("Tamrix ") + version() + QLatin1Char('\n'));
        *exitCode = 0;
        return false;
    }
    const QString problem =
        displayProblem(parser.value(QStringLiteral("platform")), parser.isSet(QStringLiteral("display")));
    if (!problem.isEmpty()) {
        printText(stderr, program + QStringLiteral(": ") + problem + QLatin1Char('\n'));
        *exitCode = kExitNoDisplay;
        return false;
    }
    // Made absolute now: the name is resolved against the directory the program was started in.
    const QStringList files = parser.positionalArguments();
    *file = files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
    return true;
}
