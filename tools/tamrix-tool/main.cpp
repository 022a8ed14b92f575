// tamrix-tool: the command-line companion of the editor, for property lists, the store and archives.
#include "Commands.h"
#include "TRText.h"
#include "TRTranslations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

struct Subcommand
{
    const char *group;
    const char *synopsis;
    const char *description;
};

// Every subcommand, as the help lists them.
constexpr Subcommand kSubcommands[] = {
    {"plist", "plist dump FILE", QT_TRANSLATE_NOOP("Tamrix", "print a property list as JSON")},
    {"plist", "plist convert IN OUT --format xml|binary",
     QT_TRANSLATE_NOOP("Tamrix", "write a property list again, as XML or binary")},
    {"plist", "plist check FILE",
     QT_TRANSLATE_NOOP("Tamrix", "read a property list; print its format and how many objects of each kind")},
    {"store", "store dir", QT_TRANSLATE_NOOP("Tamrix", "print the defaults folder in use")},
    {"store", "store names [--json]",
     QT_TRANSLATE_NOOP(
         "Tamrix", "list the domains in the store, one a line with control characters escaped, or as JSON")},
    {"store", "store read NAME", QT_TRANSLATE_NOOP("Tamrix", "print a domain as an XML property list")},
    {"store", "store write NAME FILE",
     QT_TRANSLATE_NOOP("Tamrix", "make the dictionary in a property-list file the domain NAME")},
    {"store", "store remove NAME", QT_TRANSLATE_NOOP("Tamrix", "delete the domain NAME")},
    {"store", "store find WORD [--values] [--json]",
     QT_TRANSLATE_NOOP("Tamrix",
                       "print every key of every domain whose name (with --values: or value) holds WORD, "
                       "case-insensitive: DOMAIN/PATH = VALUE")},
    {"store", "store watch [DOMAIN...]",
     QT_TRANSLATE_NOOP("Tamrix",
                       "run until interrupted, printing each key-level change any program makes, as it "
                       "lands: UTC time, DOMAIN/PATH, then + VALUE, - OLD or OLD -> NEW")},
    {"history", "history list DOMAIN [--json]",
     QT_TRANSLATE_NOOP("Tamrix",
                       "list the versions kept of a domain, newest (1) first: number, UTC time, source, "
                       "key count")},
    {"history", "history show DOMAIN N",
     QT_TRANSLATE_NOOP("Tamrix", "print version N of a domain as an XML property list")},
    {"history", "history diff DOMAIN N [M]",
     QT_TRANSLATE_NOOP("Tamrix",
                       "print the key-level changes from version N to version M, or to the domain as it "
                       "is: + PATH VALUE, - PATH, ~ PATH OLD -> NEW")},
    {"history", "history restore DOMAIN N",
     QT_TRANSLATE_NOOP("Tamrix", "make version N the domain again, keeping the version it replaces")},
    {"key", "key read DOMAIN [PATH] [--json]",
     QT_TRANSLATE_NOOP("Tamrix", "print a domain or the value at a key path, as OpenStep text or JSON")},
    {"key", "key type DOMAIN PATH", QT_TRANSLATE_NOOP("Tamrix", "print the kind of the value at a key path")},
    {"key", "key write DOMAIN PATH VALUE | -string S | -int N | -float F | -bool B | -date D | -data HEX",
     QT_TRANSLATE_NOOP("Tamrix", "write the value at a key path, making missing dictionaries")},
    {"key", "key write DOMAIN PATH -array V... | -array-add V... | -dict K V... | -dict-add K V...",
     QT_TRANSLATE_NOOP("Tamrix", "write or extend a list or a dictionary at a key path")},
    {"key", "key delete DOMAIN PATH", QT_TRANSLATE_NOOP("Tamrix", "delete the key at a path")},
    {"key", "key rename DOMAIN PATH NEW-NAME",
     QT_TRANSLATE_NOOP("Tamrix", "rename a dictionary key, keeping its place")},
    {"archive", "archive read FILE",
     QT_TRANSLATE_NOOP("Tamrix",
                       "print the domains in an exchange file as JSON (exit 2: wrong kind of root)")},
    {"archive", "archive write DESCRIPTION.json OUT",
     QT_TRANSLATE_NOOP("Tamrix", "write an exchange file from an archive description")},
};

// The options a subcommand takes itself; any other argument starting with '-' is a mistake.
bool isSubcommandOption(const QString &argument)
{
    return argument == QLatin1String("--format") || argument == QLatin1String("--json") ||
           argument == QLatin1String("--values");
}

void printText(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

// The subcommands of one group, or of all when group is empty, one to a line.
QString subcommandList(const QString &group)
{
    QString text;
    for (const Subcommand &subcommand : kSubcommands) {
        if (!group.isEmpty() && group != QLatin1String(subcommand.group))
            continue;
        text += QStringLiteral("  tamrix-tool %1\n      %2\n")
                    .arg(QLatin1String(subcommand.synopsis), trText(subcommand.description));
    }
    return text;
}

QString helpText()
{
    return trText("Usage: tamrix-tool [--help | --version] GROUP COMMAND [ARGUMENTS]\n"
                  "Property lists, the per-user defaults store and exchange files from the command line.\n"
                  "Results go to standard output, errors to standard error; exit status 0 on success,\n"
                  "1 on failure, 64 for a command-line mistake. TAMRIX_DEFAULTS_DIR, when set, names\n"
                  "the defaults folder.\n\n"
                  "Commands:\n") +
           subcommandList(QString()) +
           trText("\nOptions:\n"
                  "  -h, --help     show this help and exit\n"
                  "  -v, --version  show the version and exit\n") +
           trText("\nExamples:\n") +
           QStringLiteral("  tamrix-tool key write org.example.Editor Fonts/Body/size -int 13\n"
                          "  tamrix-tool key write org.example.Editor Recent -array-add -string ~/notes.txt\n"
                          "  tamrix-tool key read org.example.Editor Fonts/Body\n"
                          "  tamrix-tool store find font --values\n"
                          "  tamrix-tool store watch org.example.Editor\n");
}

int usageError(const QString &message)
{
    printText(stderr, QStringLiteral("tamrix-tool: ") + message + QLatin1Char('\n') +
                          trText("Try 'tamrix-tool --help' for more information.") + QLatin1Char('\n'));
    return kExitUsage;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const TRTranslations translations;
    // Names and paths are UTF-8 text: bytes that are not would reach the store as U+FFFD, naming
    // something else than was meant.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (QString::fromUtf8(argument).toUtf8() != argument)
            return usageError(trFormat(trText("argument %@ is not valid UTF-8 text"), {QString::number(i)}));
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Everything from the group's name on belongs to the subcommand.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        printText(stdout, helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        printText(stdout, QStringLiteral("tamrix-tool " TAMRIX_VERSION "\n"));
        return 0;
    }
    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usageError(trText("a command is needed"));
    const QString group = arguments.takeFirst();
    const QString groupList = subcommandList(group);
    if (groupList.isEmpty())
        return usageError(trFormat(trText("unknown command '%@'"), {group}));
    if (arguments.size() == 1 &&
        (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))) {
        printText(stdout, trText("Usage:") + QLatin1Char('\n') + groupList);
        return 0;
    }
    // The key group takes type flags and values that start with a dash (-int -5).
    if (group == QLatin1String("key"))
        return keyCommand(arguments);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--")) {
            arguments.removeAt(i);
            break;
        }
        if (argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && !isSubcommandOption(argument))
            return usageError(trFormat(trText("unknown option '%@'"), {argument}));
    }
    if (group == QLatin1String("plist"))
        return plistCommand(arguments);
    if (group == QLatin1String("store"))
        return storeCommand(arguments);
    if (group == QLatin1String("history"))
        return historyCommand(arguments);
    return archiveCommand(arguments);
}
