// The three commands of the application controller that touch no domain: the about panel, the
// preferences window and the home page.
#include "TRAppController.h"
#include "TRText.h"
#include "TRUrlOpener.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

namespace {

// The one place that names the home page; a translation may name another.
constexpr const char *kHomePageAddress = QT_TRANSLATE_NOOP("Tamrix", "https://www.example.org/tamrix/");

} // namespace

TRAppController::AboutPanelOptions TRAppController::aboutPanelOptions()
{
    AboutPanelOptions options;
    options.applicationName = QStringLiteral("Tamrix");
    options.applicationVersion = trText("Version 1.0");
    // No build version: the panel shows none in parentheses.
    options.version = QString();
    options.copyright = trFormat(trText("Copyright %C 2026 The Tamrix developers.\n"
                                        "Licensed under the GNU General Public License, version 3 or later."),
                                 {QString(QChar(0xA9))});
    return options;
}

QUrl TRAppController::homePageUrl()
{
    return QUrl(trText(kHomePageAddress), QUrl::StrictMode);
}

void TRAppController::showAbout()
{
    // One panel: choosing the command again brings it to the front.
    if (!m_aboutPanel) {
        const AboutPanelOptions options = aboutPanelOptions();
        auto *panel = new QMessageBox(mainWindow());
        panel->setObjectName(QStringLiteral("aboutPanel"));
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->setWindowModality(Qt::NonModal);
        panel->setWindowTitle(trFormat(trText("About %@"), {options.applicationName}));
        panel->setTextFormat(Qt::PlainText);
        panel->setText(options.applicationName);
        const QString details = options.applicationVersion + QStringLiteral("\n\n") + options.copyright;
        panel->setInformativeText(details);
        for (QLabel *label : panel->findChildren<QLabel *>()) {
            if (label->text() == details)
                label->setTextFormat(Qt::PlainText);
        }
        const QIcon icon = QApplication::windowIcon();
        if (!icon.isNull())
            panel->setIconPixmap(icon.pixmap(64, 64));
        panel->setStandardButtons(QMessageBox::Close);
        m_aboutPanel = panel;
    }
    m_aboutPanel->show();
    m_aboutPanel->raise();
    m_aboutPanel->activateWindow();
}

void TRAppController::preferences()
{
    QWidget *window = m_sheets.preferencesWindow;
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void TRAppController::goToHomePage()
{
    // Nothing is reported when the page cannot be opened.
    const QUrl url = homePageUrl();
    if (url.isValid())
        TRUrlOpener::openUrl(url);
}
