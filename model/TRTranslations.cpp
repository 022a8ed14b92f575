#include "TRTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

// The folder of the tables compiled into the program.
constexpr auto kTablesFolder = ":/i18n";

} // namespace

QLocale TRTranslations::desktopLocale()
{
    const QByteArray language = qgetenv("LANGUAGE");
    for (const QByteArray &name : language.split(':')) {
        // "C" and "POSIX" ask for the untranslated program.
        if (name.isEmpty())
            continue;
        if (name == "C" || name == "POSIX")
            return QLocale::c();
        const QLocale locale(QString::fromLatin1(name));
        if (locale.language() != QLocale::C)
            return locale;
    }
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray name = qgetenv(variable);
        if (name.isEmpty())
            continue;
        if (name == "C" || name == "POSIX" || name.startsWith("C."))
            return QLocale::c();
        return QLocale(QString::fromLatin1(name.left(name.indexOf('.'))));
    }
    return QLocale::system();
}

TRTranslations::TRTranslations(const QLocale &locale)
    : m_application(std::make_unique<QTranslator>()), m_qt(std::make_unique<QTranslator>())
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::English)
        return;
    m_applicationLoaded = m_application->load(locale, QStringLiteral("tamrix"), QStringLiteral("_"),
                                              QString::fromLatin1(kTablesFolder));
    if (m_applicationLoaded)
        QCoreApplication::installTranslator(m_application.get());
    m_qtLoaded = m_qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtLoaded)
        QCoreApplication::installTranslator(m_qt.get());
}

TRTranslations::~TRTranslations()
{
    if (m_applicationLoaded)
        QCoreApplication::removeTranslator(m_application.get());
    if (m_qtLoaded)
        QCoreApplication::removeTranslator(m_qt.get());
}
