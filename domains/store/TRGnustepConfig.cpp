#include "TRGnustepConfig.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kSystemConfigFile = "/etc/GNUstep/GNUstep.conf";
constexpr const char *kDefaultUserConfigFile = ".GNUstep.conf";
constexpr const char *kDefaultDefaultsFolder = "GNUstep/Defaults";

bool isKeyChar(QChar c)
{
    return c == u'_' || (c.unicode() < 128 && c.isLetterOrNumber());
}

} // namespace

TRGnustepConfig::Values TRGnustepConfig::parseText(const QString &input)
{
    // Joined lines first: outside single quotes a backslash-newline pair disappears. Single quotes
    // cannot span lines in a configuration file, so joining before tokenising gives the same result.
    QString text;
    text.reserve(input.size());
    bool inSingle = false;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c == u'\n')
            inSingle = false;
        else if (c == u'\'' && !inSingle)
            inSingle = true;
        else if (c == u'\'' && inSingle)
            inSingle = false;
        if (!inSingle && c == u'\\' && i + 1 < input.size() && input.at(i + 1) == u'\n') {
            ++i;
            continue;
        }
        text.append(c);
    }

    Values values;
    const QStringList lines = text.split(u'\n');
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        qsizetype pos = 0;
        while (pos < line.size() && isKeyChar(line.at(pos)))
            ++pos;
        if (pos == 0 || pos >= line.size() || line.at(pos) != u'=' || line.at(0).isDigit())
            continue;
        const QString key = line.left(pos);
        ++pos;
        QString value;
        while (pos < line.size() && !line.at(pos).isSpace()) {
            const QChar c = line.at(pos);
            if (c == u'\'') {
                const qsizetype close = line.indexOf(u'\'', pos + 1);
                const qsizetype end = close < 0 ? line.size() : close;
                value += line.mid(pos + 1, end - pos - 1);
                pos = end + 1;
            } else if (c == u'"') {
                ++pos;
                while (pos < line.size() && line.at(pos) != u'"') {
                    if (line.at(pos) == u'\\' && pos + 1 < line.size())
                        ++pos;
                    value.append(line.at(pos++));
                }
                ++pos;
            } else if (c == u'\\' && pos + 1 < line.size()) {
                value.append(line.at(pos + 1));
                pos += 2;
            } else {
                value.append(c);
                ++pos;
            }
        }
        values.insert(key, value);
    }
    return values;
}

bool TRGnustepConfig::readFile(const QString &path, bool userFile, Values *values)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return false;
    if (userFile && info.st_uid != ::getuid())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const Values parsed = parseText(QString::fromUtf8(file.readAll()));
    for (auto it = parsed.cbegin(); it != parsed.cend(); ++it)
        values->insert(it.key(), it.value());
    return true;
}

QString TRGnustepConfig::userHome()
{
    const QString gnustepHome = qEnvironmentVariable("GNUSTEP_HOME");
    if (!gnustepHome.isEmpty())
        return gnustepHome;
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] != '\0')
        return QFile::decodeName(entry->pw_dir);
    return qEnvironmentVariable("HOME");
}

QString TRGnustepConfig::userDefaultsFolder()
{
    Values config;
    QString systemFile = qEnvironmentVariable("GNUSTEP_CONFIG_FILE");
    if (systemFile.isEmpty())
        systemFile = QString::fromLatin1(kSystemConfigFile);
    readFile(systemFile, false, &config);

    const QString home = userHome();
    // The system file may name the user's file, or switch it off with an empty value.
    const QString userFile = config.contains(QStringLiteral("GNUSTEP_USER_CONFIG_FILE"))
                                 ? config.value(QStringLiteral("GNUSTEP_USER_CONFIG_FILE"))
                                 : QString::fromLatin1(kDefaultUserConfigFile);
    if (!userFile.isEmpty()) {
        Values user;
        if (readFile(QDir(home).filePath(userFile), true, &user)) {
            user.remove(QStringLiteral("GNUSTEP_USER_CONFIG_FILE"));
            for (auto it = user.cbegin(); it != user.cend(); ++it)
                config.insert(it.key(), it.value());
        }
    }

    QString folder = config.value(QStringLiteral("GNUSTEP_USER_DEFAULTS_DIR"));
    if (folder.isEmpty())
        folder = QString::fromLatin1(kDefaultDefaultsFolder);
    if (folder == u'~' || folder.startsWith(QStringLiteral("~/")))
        folder = home + folder.mid(1);
    if (QDir::isRelativePath(folder))
        folder = QDir(home).filePath(folder);
    return QDir::cleanPath(folder);
}
