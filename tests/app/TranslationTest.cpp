// Tamrix under German: the window, the sheets and the alerts speak it, Qt's own buttons too; and every
// control tells a screen reader its name and role.
#include "AppTestFixture.h"
#include "TRDomainEnvelope.h"
#include "TRDomainListModel.h"
#include "TRMainWindow.h"
#include "TRText.h"
#include "TRTranslations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTreeView>
#include <memory>

namespace {

class Translation : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_translations = std::make_unique<TRTranslations>(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override
    {
        AppTest::TearDown();
        m_translations.reset();
    }
    template<typename T>
    T *child(const char *name) const
    {
        return m_interface->mainWindow()->findChild<T *>(QString::fromLatin1(name));
    }

    std::unique_ptr<TRTranslations> m_translations;
};

using Accessibility = AppTest;

// Walks the focus chain from first and answers the names of the focusable widgets met before it returns.
QStringList tabOrder(QWidget *first, QWidget *within)
{
    QStringList names;
    QWidget *widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && within->isAncestorOf(widget) &&
            !names.contains(widget->objectName()))
            names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget && widget != first);
    return names;
}

} // namespace

TEST(TranslationTables, DesktopLocaleFollowsTheEnvironmentInGettextOrder)
{
    const char *variables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    QList<QByteArray> saved;
    for (const char *variable : variables)
        saved << qgetenv(variable);
    const struct
    {
        const char *language, *all, *messages, *lang;
        QLocale::Language expected;
    } cases[] = {
        {"de_DE:en", "", "", "en_US.UTF-8", QLocale::German},
        {"", "de_AT.UTF-8", "en_US", "en_US", QLocale::German},
        {"", "", "de_CH.UTF-8", "en_GB", QLocale::German},
        {"", "", "", "de_DE.UTF-8", QLocale::German},
        {"", "C.UTF-8", "de_DE", "de_DE", QLocale::C},
        {"en_GB:de", "", "", "de_DE", QLocale::English},
    };
    for (const auto &c : cases) {
        const char *values[] = {c.language, c.all, c.messages, c.lang};
        for (int i = 0; i < 4; ++i)
            qputenv(variables[i], values[i]);
        EXPECT_EQ(TRTranslations::desktopLocale().language(), c.expected)
            << c.language << c.all << c.messages << c.lang;
    }
    for (int i = 0; i < 4; ++i)
        qputenv(variables[i], saved[i]);
}

TEST(TranslationTables, GermanIsCompiledInAndEnglishNeedsNone)
{
    {
        const TRTranslations german(QLocale(QLocale::German, QLocale::Austria));
        EXPECT_TRUE(german.hasApplicationTable());
        EXPECT_EQ(trText("Cancel"), QStringLiteral("Abbrechen"));
        EXPECT_EQ(trFormat(trText("The domain name \"%@\" is longer than %d bytes."),
                           {QStringLiteral("x"), QStringLiteral("9")}),
                  QStringLiteral("Der Domänenname „x“ ist länger als 9 Bytes."));
    }
    EXPECT_EQ(trText("Cancel"), QStringLiteral("Cancel"));
    const TRTranslations english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(english.hasApplicationTable());
    EXPECT_EQ(trText("Cancel"), QStringLiteral("Cancel"));
}

TEST_F(Translation, MainWindowMenusAndSheetSpeakGerman)
{
    storeDomain(QStringLiteral("org.example.a"), dictionaryOf(2));
    start();
    const std::pair<QString, const char *> texts[] = {
        {child<QMenu>("menuFile")->title(), "&Datei"},
        {child<QMenu>("menuEdit")->title(), "&Bearbeiten"},
        {child<QMenu>("menuDomain")->title(), "D&omäne"},
        {child<QMenu>("menuHelp")->title(), "&Hilfe"},
        {action("actionSaveAllDomains")->text(), "&Alle Domänen speichern"},
        {action("actionImportDomain")->statusTip(),
         "Eine Domäne aus einer Austauschdatei hinzufügen oder die geladene Domäne gleichen Namens ersetzen"},
        {action("actionAbout")->text(), "Über &Tamrix"},
        {action("actionUndo")->text(), "&Rückgängig"},
        {windowPart<QGroupBox>("domainListGroup")->title(), "Domänen"},
        {windowPart<QGroupBox>("domainContentsGroup")->title(), "Schlüssel"},
        {windowPart<QLineEdit>("domainSearchField")->placeholderText(),
         "Domänen suchen (Eingabetaste findet die nächste)"},
        {windowPart<QTableView>("domainListView")
             ->model()
             ->headerData(static_cast<int>(m_controller->domainListModel()->columnIdentifiers().indexOf(
                              QStringLiteral("domainName"))),
                          Qt::Horizontal)
             .toString(),
         "Domäne"},
        {mainWindow()->windowTitle().section(QStringLiteral("[*]"), 1), " – Tamrix"},
    };
    for (const auto &[shown, german] : texts)
        EXPECT_EQ(shown, QString::fromUtf8(german));

    newDomain(QString(), 0);
    QWidget *sheet = m_controller->sheets().newDomainSheet;
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Neue Domäne"));
    // Qt's own buttons come from Qt's translations.
    auto *buttons = sheet->findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
}

TEST_F(Translation, AlertsSpeakGerman)
{
    storeDomain(QStringLiteral("org.example.a"), dictionaryOf(2));
    start();
    // An alert sheet: the question before deleting.
    selectRow(0);
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionDeleteDomain");
    settle();
    // An application-modal alert: quitting with unsaved changes.
    m_controller->addDomain(
        std::make_shared<TRDomainEnvelope>(QStringLiteral("org.example.b"), dictionaryOf(1)));
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionQuit");
    settle();
    const QList<TRAlert::Shown> shown = TRAlert::shownAlerts();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_FALSE(shown[0].modal);
    EXPECT_EQ(shown[0].title, QStringLiteral("Eine Domäne wird gelöscht"));
    EXPECT_EQ(shown[0].message,
              QStringLiteral("Die Domäne org.example.a wird endgültig gelöscht. Bestätigen Sie das?"));
    EXPECT_EQ(shown[0].buttons, (QStringList{QStringLiteral("Nein"), QStringLiteral("Ja")}));
    EXPECT_TRUE(shown[1].modal);
    EXPECT_EQ(shown[1].title, QStringLiteral("Tamrix wird beendet"));
    EXPECT_TRUE(shown[1].message.startsWith(QStringLiteral("Es gibt ungesicherte Änderungen.")));
    EXPECT_TRUE(shown[1].buttons.contains(QStringLiteral("Nicht beenden")));
}

TEST_F(Accessibility, EveryControlHasANameAndRole)
{
    storeDomain(QStringLiteral("org.example.a"), dictionaryOf(1));
    start();
    newDomain(QString(), 0);
    QWidget *sheet = m_controller->sheets().newDomainSheet;
    trigger("actionPreferences");
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(m_controller->sheets().preferencesWindow, nullptr);
    QWidget *preferences = m_controller->sheets().preferencesWindow;
    const auto child = [](QWidget *parent, const char *name) {
        return parent->findChild<QWidget *>(QString::fromLatin1(name));
    };
    const struct
    {
        QWidget *widget;
        const char *name;
        QAccessible::Role role;
    } controls[] = {
        {windowPart<QLineEdit>("domainSearchField"), "Search domains", QAccessible::EditableText},
        {windowPart<QTableView>("domainListView"), "Domain list", QAccessible::Table},
        {windowPart<QTreeView>("domainContentsView"), "Key outline", QAccessible::Tree},
        {m_controller->sheets().newDomainNameEdit, "Name of the new domain", QAccessible::EditableText},
        {windowPart<QLineEdit>("keySearchField"), "Search keys", QAccessible::EditableText},
        {m_controller->sheets().newKeyNameEdit, "Name:", QAccessible::EditableText},
        {m_controller->sheets().newKeyTypePopup, "Type:", QAccessible::ComboBox},
        {child(m_controller->sheets().numberValueSheet, "numberTypeTabs"), "Kind of number",
         QAccessible::Client},
        {child(m_controller->sheets().numberValueSheet, "integerValueEdit"), "Whole number",
         QAccessible::EditableText},
        {child(m_controller->sheets().numberValueSheet, "booleanYesButton"), "Yes", QAccessible::RadioButton},
        {child(m_controller->sheets().dataValueSheet, "dataValueHexEdit"), "Bytes in hexadecimal",
         QAccessible::Client},
        {child(preferences, "domainSearchPopup"), "Domain search:", QAccessible::ComboBox},
        {child(preferences, "keySearchPopup"), "Key search:", QAccessible::ComboBox},
        {child(preferences, "lookInValuesCheck"), "Key search also looks in values", QAccessible::CheckBox},
        {child(preferences, "autoSaveCheck"), "Save a domain after every key change", QAccessible::CheckBox},
    };
    for (const auto &control : controls) {
        ASSERT_NE(control.widget, nullptr) << control.name;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control.widget);
        ASSERT_NE(accessible, nullptr) << control.name;
        // A choice's name is its value; its label comes through the labelled-by relation, as on Linux.
        const auto labels = accessible->relations(QAccessible::Label);
        const QString name = accessible->role() == QAccessible::ComboBox && !labels.isEmpty()
                                 ? labels.first().first->text(QAccessible::Name)
                                 : accessible->text(QAccessible::Name);
        EXPECT_EQ(name, QString::fromUtf8(control.name));
        EXPECT_EQ(accessible->role(), control.role) << control.name;
    }
}

TEST_F(Accessibility, ModifiedColumnReadsAsAWord)
{
    storeDomain(QStringLiteral("org.example.a"), dictionaryOf(1));
    start();
    m_controller->addDomain(
        std::make_shared<TRDomainEnvelope>(QStringLiteral("org.example.b"), dictionaryOf(1)));
    ASSERT_TRUE(domain(QStringLiteral("org.example.b"))->modified());
    QTableView *list = windowPart<QTableView>("domainListView");
    const int modifiedColumn = static_cast<int>(
        m_controller->domainListModel()->columnIdentifiers().indexOf(QStringLiteral("modified")));
    ASSERT_GE(modifiedColumn, 0);
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(list)->tableInterface();
    ASSERT_NE(table, nullptr);
    const QStringList rows = domainNames();
    for (int row = 0; row < rows.size(); ++row) {
        const bool modified = rows[row] == QStringLiteral("org.example.b");
        EXPECT_EQ(table->cellAt(row, modifiedColumn)->text(QAccessible::Name),
                  modified ? QStringLiteral("modified") : QString())
            << rows[row].toStdString();
    }
}

TEST_F(Accessibility, TabOrderFollowsTheLayout)
{
    start();
    newDomain(QString(), 0);
    QWidget *sheet = m_controller->sheets().newDomainSheet;
    trigger("actionPreferences");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(tabOrder(windowPart<QLineEdit>("domainSearchField"), mainWindow()),
              (QStringList{QStringLiteral("domainSearchField"), QStringLiteral("domainListView"),
                           QStringLiteral("keySearchField"), QStringLiteral("goToKeyField"),
                           QStringLiteral("domainContentsView")}));
    QWidget *preferences = m_controller->sheets().preferencesWindow;
    EXPECT_EQ(tabOrder(preferences->findChild<QWidget *>(QStringLiteral("domainSearchPopup")), preferences),
              (QStringList{QStringLiteral("domainSearchPopup"), QStringLiteral("keySearchPopup"),
                           QStringLiteral("lookInValuesCheck"), QStringLiteral("autoSaveCheck"),
                           QStringLiteral("followExternalChangesCheck"), QStringLiteral("historyVersionsBox"),
                           QStringLiteral("qt_spinbox_lineedit"), QStringLiteral("historyDaysBox"),
                           QStringLiteral("historyMegabytesBox")}));
    const QStringList sheetOrder = tabOrder(m_controller->sheets().newDomainNameEdit, sheet);
    ASSERT_FALSE(sheetOrder.isEmpty());
    EXPECT_EQ(sheetOrder.first(), QStringLiteral("newDomainNameEdit"));
}

namespace {

// The faults in a menu bar's mnemonics: a menu or command without one, or two sharing a letter in one menu.
QStringList mnemonicFaults(const QList<QAction *> &actions)
{
    QStringList faults;
    QSet<QChar> letters;
    for (QAction *action : actions) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const QString text = action->text();
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at < 0 || at + 1 >= text.size()) {
            faults << QStringLiteral("no mnemonic: ") + text;
            continue;
        }
        const QChar letter = text.at(at + 1).toLower();
        if (letters.contains(letter))
            faults << QStringLiteral("shared mnemonic: ") + text;
        letters.insert(letter);
    }
    return faults;
}

} // namespace

TEST_F(Accessibility, EveryCommandIsReachableByMnemonicsInEnglishAndGerman)
{
    storeDomain(QStringLiteral("org.example.a"), dictionaryOf(1));
    for (const bool german : {false, true}) {
        std::unique_ptr<TRTranslations> translations;
        if (german)
            translations = std::make_unique<TRTranslations>(QLocale(QLocale::German, QLocale::Germany));
        start();
        // Undo and Redo get their titles from the undo manager; give them something to name.
        newDomain(QStringLiteral("org.example.b"));
        const auto *window = static_cast<TRMainWindow *>(m_interface->mainWindow());
        QStringList faults = mnemonicFaults(window->menuBar()->actions());
        for (const QMenu *menu : window->menuBar()->findChildren<QMenu *>())
            faults << mnemonicFaults(menu->actions());
        EXPECT_EQ(faults, QStringList()) << (german ? "German" : "English");
        stop();
    }
}

namespace {

// The texts of a window that its controls cut off: a label, button, check box or choice narrower than its
// text.
QStringList cutOffTexts(QWidget *window)
{
    QStringList faults;
    const auto check = [&faults](QWidget *widget, const QString &text) {
        if (widget->isVisible() && widget->width() < widget->minimumSizeHint().width())
            faults << QStringLiteral("%1 (%2 < %3)")
                          .arg(text)
                          .arg(widget->width())
                          .arg(widget->minimumSizeHint().width());
    };
    for (QLabel *label : window->findChildren<QLabel *>())
        if (!label->wordWrap())
            check(label, label->text());
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->width() < button->sizeHint().width() && button->isVisible())
            faults << button->text();
    for (QComboBox *box : window->findChildren<QComboBox *>())
        if (box->width() < box->sizeHint().width())
            faults << box->currentText();
    return faults;
}

// Shows a window at the size it opens with, saves a picture of it when TAMRIX_SCREENSHOT_DIR names a
// folder (to look at, under Xvfb), and answers its cut-off texts.
QStringList showAndCheck(QWidget *window, const QString &name)
{
    window->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const QString folder = qEnvironmentVariable("TAMRIX_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    const QStringList faults = cutOffTexts(window);
    window->hide();
    return faults;
}

} // namespace

TEST_F(Translation, GermanTextsAreNotCutOff)
{
    storeDomain(QStringLiteral("org.example.application"), dictionaryOf(3));
    start();
    selectRow(0);
    newDomain(QString(), 0);
    trigger("actionPreferences");
    EXPECT_EQ(showAndCheck(mainWindow(), QStringLiteral("main-window-de")), QStringList());
    EXPECT_EQ(showAndCheck(m_controller->sheets().newDomainSheet, QStringLiteral("new-domain-sheet-de")),
              QStringList());
    EXPECT_EQ(showAndCheck(m_controller->sheets().preferencesWindow, QStringLiteral("preferences-de")),
              QStringList());
}
