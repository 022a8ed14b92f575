#pragma once

#include <QList>
#include <QLocale>
#include <QTranslator>
#include <memory>

// The application's translations for one locale: Tamrix's own table (compiled into the program) and Qt's
// own texts (the standard buttons and dialogs, from Qt's translations folder). install() puts them in
// front of the application; the destructor takes them out again.
class TRTranslations final
{
public:
    // The locale the desktop asks for: LANGUAGE first (a colon-separated preference list), then LC_ALL,
    // LC_MESSAGES and LANG, as gettext programs choose.
    static QLocale desktopLocale();

    explicit TRTranslations(const QLocale &locale = desktopLocale());
    ~TRTranslations();
    TRTranslations(const TRTranslations &) = delete;
    TRTranslations &operator=(const TRTranslations &) = delete;

    // Whether a table of Tamrix's own texts was found for the locale (English needs none).
    bool hasApplicationTable() const { return m_applicationLoaded; }

private:
    std::unique_ptr<QTranslator> m_application;
    std::unique_ptr<QTranslator> m_qt;
    bool m_applicationLoaded = false;
    bool m_qtLoaded = false;
};
