// The about panel, the home page and the preferences window.
#include "AppTestFixture.h"
#include "TRMainWindow.h"
#include "TRPreferencesWindow.h"
#include "TRText.h"
#include "TRUrlOpener.h"
#include "store/TRPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTranslator>

namespace {

class SpanishTexts final : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (QLatin1StringView(context) != QLatin1StringView(kTamrixTextContext))
            return QString();
        const QLatin1StringView text(sourceText);
        if (text == QLatin1StringView("Version 1.0"))
            return QStringLiteral("Versión 1.0");
        if (text == QLatin1StringView("Tamrix"))
            return QStringLiteral("Tamriks");
        if (text.startsWith(QLatin1StringView("https://")))
            return QStringLiteral("https://www.example.org/tamrix/es/");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

using AboutPreferences = AppTest;

} // namespace

TEST_F(AboutPreferences, AboutPanelAndHomePageFollowTheTranslation)
{
    start();
    trigger("actionGoToHomePage");
    SpanishTexts spanish;
    QCoreApplication::installTranslator(&spanish);
    trigger("actionAbout");
    trigger("actionAbout");
    trigger("actionGoToHomePage");
    QCoreApplication::removeTranslator(&spanish);

    const QList<QMessageBox *> panels =
        m_interface->mainWindow()->findChildren<QMessageBox *>(QStringLiteral("aboutPanel"));
    ASSERT_EQ(panels.size(), 1);
    EXPECT_TRUE(panels[0]->isVisible());
    EXPECT_EQ(panels[0]->text(), QStringLiteral("Tamrix"));
    const QString details = panels[0]->informativeText();
    EXPECT_TRUE(details.startsWith(QStringLiteral("Versión 1.0\n\n"))) << details.toStdString();
    EXPECT_TRUE(details.contains(QChar(0xA9)));
    EXPECT_FALSE(details.contains(QStringLiteral("%C")));
    EXPECT_EQ(details.count(u'\n'), 3);
    EXPECT_FALSE(details.contains(u'('));
    EXPECT_EQ(TRUrlOpener::openedUrls(),
              (QList<QUrl>{QUrl(QStringLiteral("https://www.example.org/tamrix/")),
                           QUrl(QStringLiteral("https://www.example.org/tamrix/es/"))}));
}

TEST_F(AboutPreferences, PreferencesWindowShowsAndWritesTheStoredValues)
{
    TRPreferences &preferences = TRPreferences::shared();
    ASSERT_TRUE(preferences.setValue(QStringLiteral("KeySearch"), TRValue::fromInteger(1)));
    ASSERT_TRUE(preferences.setValue(QStringLiteral("AutoSave"), TRValue::fromBool(true)));
    storeDomain(QStringLiteral("net.sample.example"), dictionaryOf(1));
    storeDomain(QStringLiteral("org.example.viewer"), dictionaryOf(1));
    start();
    trigger("actionPreferences");
    trigger("actionPreferences");
    const QList<TRPreferencesWindow *> windows =
        m_interface->mainWindow()->findChildren<TRPreferencesWindow *>();
    ASSERT_EQ(windows.size(), 1);
    TRPreferencesWindow *window = windows[0];
    EXPECT_TRUE(window->isVisible());
    auto *domainSearch = window->findChild<QComboBox *>(QStringLiteral("domainSearchPopup"));
    auto *keySearch = window->findChild<QComboBox *>(QStringLiteral("keySearchPopup"));
    auto *autoSave = window->findChild<QCheckBox *>(QStringLiteral("autoSaveCheck"));
    auto *lookInValues = window->findChild<QCheckBox *>(QStringLiteral("lookInValuesCheck"));
    ASSERT_TRUE(domainSearch && keySearch && autoSave && lookInValues);
    EXPECT_EQ(domainSearch->currentIndex(), 0);
    EXPECT_EQ(keySearch->currentIndex(), 1);
    EXPECT_TRUE(autoSave->isChecked());
    EXPECT_FALSE(lookInValues->isChecked());

    // Changes are written at once, searches as 0 / 1 and the others as truth values.
    domainSearch->setCurrentIndex(1);
    keySearch->setCurrentIndex(0);
    autoSave->setChecked(false);
    lookInValues->setChecked(true);
    EXPECT_EQ(preferences.value(QStringLiteral("DomainSearch")), TRValue::fromInteger(1));
    EXPECT_EQ(preferences.value(QStringLiteral("KeySearch")), TRValue::fromInteger(0));
    EXPECT_EQ(preferences.value(QStringLiteral("AutoSave")), TRValue::fromBool(false));
    EXPECT_EQ(preferences.value(QStringLiteral("LookInValues")), TRValue::fromBool(true));

    // The next search reads it: names must now begin with the text.
    QLineEdit *field = windowPart<QLineEdit>("domainSearchField");
    field->setText(QStringLiteral("xamp"));
    m_controller->searchDomain();
    EXPECT_EQ(TRAlert::beepCount(), 1);
    field->setText(QStringLiteral("org.ex"));
    m_controller->searchDomain();
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("org.example.viewer"));

    // Shown again, it reads what another program stored meanwhile.
    window->hide();
    ASSERT_TRUE(preferences.setValue(QStringLiteral("DomainSearch"), TRValue::fromInteger(0)));
    trigger("actionPreferences");
    EXPECT_EQ(domainSearch->currentIndex(), 0);
}
