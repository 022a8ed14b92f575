// The history in the window: what each command keeps, restoring a version or a key from the Changes
// panel with undo and redo, the Recent Changes of another program's write, and a history folder that
// cannot be written.
#include "KeyTestSupport.h"
#include "TRKey.h"
#include "TRKeyDiffView.h"
#include "TRUndoManager.h"
#include "plist/TRPropertyList.h"
#include "store/TRDomainHistory.h"
#include "store/TRPreferences.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTreeWidget>
#include <cstdio>

namespace {

const QString kName = QStringLiteral("com.h");

TRValue twoKeys(qint64 a)
{
    TRDictionary entries;
    entries.insert(QStringLiteral("a"), TRValue::fromInteger(a));
    entries.insert(QStringLiteral("s"), str("kept"));
    return TRValue::fromDictionary(std::move(entries));
}

class History : public KeyTest
{
protected:
    // The sources of the domain's versions, newest first.
    QStringList sources() const
    {
        QStringList found;
        for (const TRDomainHistory::Version &version : m_controller->history()->versions(kName))
            found.append(version.source);
        return found;
    }
    // Sets key "a" of the shown domain through the key primitives.
    void setA(qint64 value)
    {
        const TRKeyPtr root = m_controller->currentDomain()->rootKey();
        const TRKeyPtr old = root->childForName(str("a"));
        m_controller->replaceKeys({old, TRKey::create(str("a"), TRValue::fromInteger(value), root, kName)});
        settle();
        m_controller->finishPendingWrites();
    }
    QTreeWidget *panelList(const char *name) const
    {
        return mainWindow()->findChild<QTreeWidget *>(QString::fromLatin1(name));
    }
    QPushButton *panelButton(const char *name) const
    {
        return mainWindow()->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    // Another program writes the domain: a new file renamed into place.
    static void writeAside(const QString &name, const TRValue &contents)
    {
        QByteArray xml;
        ASSERT_TRUE(TRPropertyList::writeXml(contents, &xml));
        const QString temporary = storeFolder() + QStringLiteral("/.new");
        QFile file(temporary);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size());
        file.close();
        ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(),
                              QFile::encodeName(domainFile(name)).constData()),
                  0);
    }
};

} // namespace

TEST_F(History, EachCommandKeepsTheVersionsItReplacesAndLeaves)
{
    const QString tamrix = QString::fromLatin1(TRDomainHistory::kTamrix);
    const QString other = QString::fromLatin1(TRDomainHistory::kAnotherProgram);
    const struct
    {
        const char *command;
        std::function<void()> run;
        QStringList expected;
    } cases[] = {
        {"Save",
         [this] {
             setA(2);
             trigger("actionSaveDomain");
         },
         {tamrix, other}},
        {"AutoSave",
         [this] {
             ASSERT_TRUE(TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                                          TRValue::fromBool(true)));
             setA(2);
             setA(3);
         },
         {tamrix, tamrix, other}},
        {"Delete Domain",
         [this] {
             TRAlert::setNextAnswer(TRAlert::kAlternate);
             trigger("actionDeleteDomain");
         },
         {QString::fromLatin1(TRDomainHistory::kDeleted), other}},
        {"Restore",
         [this] {
             setA(2);
             trigger("actionSaveDomain");
             ASSERT_TRUE(m_controller->restoreVersion(kName, twoKeys(1)));
             trigger("actionSaveDomain");
         },
         {QString::fromLatin1(TRDomainHistory::kRestore), tamrix, other}},
        {"Import Domain",
         [this] {
             const QString file = storeFolder() + QStringLiteral("/../import.tamdom");
             setA(5);
             m_controller->doExportDomainToFile(1, file);
             m_controller->undo();
             TRAlert::setNextAnswer(TRAlert::kAlternate); // "Import": the undone edit is still unsaved
             m_controller->doImportDomainFromFile(1, file);
             settle();
             trigger("actionSaveDomain");
             QFile::remove(file);
         },
         {QString::fromLatin1(TRDomainHistory::kImport), other}},
        {"another program's write, followed",
         [this] {
             writeAside(kName, twoKeys(7));
             m_controller->checkExternalChanges();
             settle();
         },
         {other, other}},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.command);
        SetUp();
        setFollowing(true);
        startShowing(kName, twoKeys(1));
        test.run();
        EXPECT_EQ(sources(), test.expected);
        // The oldest is what the file held before Tamrix started; the newest what it holds now.
        TRValue oldest;
        const QList<TRDomainHistory::Version> versions = m_controller->history()->versions(kName);
        ASSERT_FALSE(versions.isEmpty());
        ASSERT_TRUE(m_controller->history()->contents(kName, versions.last().id, &oldest));
        EXPECT_EQ(oldest, twoKeys(1));
        TRValue newest;
        ASSERT_TRUE(m_controller->history()->contents(kName, versions.first().id, &newest));
        EXPECT_EQ(newest, storeHas(kName) ? storedDomain(kName) : TRValue::fromDictionary(TRDictionary()));
        ASSERT_TRUE(
            TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave), TRValue()));
        TearDown();
    }
    SetUp();
}

TEST_F(History, ThePanelRestoresAVersionAndAKeyAsUndoableSteps)
{
    startShowing(kName, twoKeys(1));
    setA(2);
    trigger("actionSaveDomain");
    trigger("actionHistory");
    QTreeWidget *versions = panelList("historyVersions");
    ASSERT_NE(versions, nullptr);
    ASSERT_EQ(versions->topLevelItemCount(), 2);
    // The older version: what it changed against nothing before it, then against now.
    versions->setCurrentItem(versions->topLevelItem(1));
    QTreeWidget *changes = panelList("historyChanges");
    EXPECT_EQ(changes->topLevelItemCount(), 2) << "both keys added in the first version";
    mainWindow()->findChild<QComboBox *>(QStringLiteral("historyAgainst"))->setCurrentIndex(1);
    ASSERT_EQ(changes->topLevelItemCount(), 1);
    EXPECT_EQ(changes->topLevelItem(0)->text(0), QStringLiteral("a"));
    EXPECT_EQ(changes->topLevelItem(0)->text(1), QStringLiteral("<*I1>"));
    EXPECT_EQ(changes->topLevelItem(0)->text(2), QStringLiteral("<*I2>"));

    panelButton("historyRestoreVersion")->click();
    settle();
    EXPECT_EQ(contents(kName), twoKeys(1));
    EXPECT_TRUE(domain(kName)->modified());
    EXPECT_EQ(undoNames().value(0), QStringLiteral("Restore version"));
    EXPECT_EQ(storedDomain(kName), twoKeys(2)) << "written on Save only";
    EXPECT_EQ(changes->topLevelItemCount(), 0) << "the version is the contents now";
    m_controller->undo();
    settle();
    EXPECT_EQ(contents(kName), twoKeys(2));
    m_controller->redo();
    settle();
    EXPECT_EQ(contents(kName), twoKeys(1));
    m_controller->undo();
    settle();

    // One key: the selected change's key takes the version's value, and a key the version lacks goes.
    TRKeyPtr root = m_controller->currentDomain()->rootKey();
    m_controller->addKey(TRKey::create(str("extra"), TRValue::fromInteger(9), root, kName));
    settle();
    versions->setCurrentItem(versions->topLevelItem(0));
    versions->setCurrentItem(versions->topLevelItem(1));
    ASSERT_EQ(changes->topLevelItemCount(), 2);
    for (int row = 1; row >= 0; --row) {
        changes->setCurrentItem(changes->topLevelItem(row));
        panelButton("historyRestoreKey")->click();
        settle();
    }
    EXPECT_EQ(contents(kName), twoKeys(1));
    EXPECT_EQ(undoNames().value(0), QStringLiteral("Restore key"));
}

TEST_F(History, RecentChangesListAnotherProgramsKeysAndGoToThem)
{
    setFollowing(true);
    storeDomain(QStringLiteral("org.other"), twoKeys(5));
    startShowing(kName, twoKeys(1));
    TRDictionary nested;
    nested.insert(QStringLiteral("inner"), TRValue::fromBool(true));
    TRDictionary changed = twoKeys(5).toDictionary();
    changed.insert(QStringLiteral("n"), TRValue::fromDictionary(std::move(nested)));
    // A domain the window never opened is told key by key too: its file was kept in the background.
    settle();
    writeAside(QStringLiteral("org.other"), TRValue::fromDictionary(std::move(changed)));
    writeAside(kName, twoKeys(3));
    m_controller->checkExternalChanges();
    settle();
    trigger("actionRecentChanges");
    QTreeWidget *list = panelList("recentChangesList");
    ASSERT_NE(list, nullptr);
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        rows.append(list->topLevelItem(row)->text(1) + u' ' + list->topLevelItem(row)->text(2) + u' ' +
                    list->topLevelItem(row)->text(3));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("org.other n added: {\"inner\" = <*BY>; }"),
                                 QStringLiteral("com.h a <*I1> \u2192 <*I3>")}));
    mainWindow()->findChild<QLineEdit *>(QStringLiteral("recentChangesField"))->setText(QStringLiteral("i3"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    emit list->itemActivated(list->topLevelItem(0), 0);
    settle();
    EXPECT_EQ(m_controller->currentDomain()->name(), kName);
    EXPECT_EQ(TRAppController::keyPath(*m_controller->selectedKey()), QStringLiteral("a"));
}

TEST_F(History, AHistoryThatCannotBeWrittenNeverStopsASave)
{
    QDir().mkpath(QFileInfo(TRDomainHistory::defaultFolder()).path());
    QFile blocker(TRDomainHistory::defaultFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    startShowing(kName, twoKeys(1));
    setA(2);
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(kName), twoKeys(2));
    EXPECT_FALSE(domain(kName)->modified());
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_TRUE(mainWindow()->statusBar()->currentMessage().contains(QStringLiteral("could not be kept")))
        << mainWindow()->statusBar()->currentMessage().toStdString();
    QFile::remove(TRDomainHistory::defaultFolder());
}

TEST_F(History, AnImportThatWouldReplaceChangesShowsThemFirst)
{
    startShowing(kName, twoKeys(1));
    const QString file = storeFolder() + QStringLiteral("/../import.tamdom");
    m_controller->doExportDomainToFile(1, file);
    setA(2);
    TRAlert::setNextAnswer(TRAlert::kOther);
    m_controller->doImportDomainFromFile(1, file);
    settle();
    ASSERT_EQ(TRAlert::shownAlerts().size(), 1);
    EXPECT_TRUE(TRAlert::shownAlerts().first().buttons.contains(QStringLiteral("Show Changes…")));
    const auto *view = mainWindow()->findChild<TRKeyDiffView *>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->differingKeys(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(contents(kName), twoKeys(2)) << "nothing is imported yet";
    EXPECT_TRUE(domain(kName)->modified());
    QFile::remove(file);
}

TEST_F(History, ItsBoundsComeFromThePreferencesWindow)
{
    startShowing(kName, twoKeys(1));
    trigger("actionPreferences");
    QSpinBox *versions = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!versions)
            versions = widget->findChild<QSpinBox *>(QStringLiteral("historyVersionsBox"));
    }
    ASSERT_NE(versions, nullptr);
    EXPECT_EQ(versions->value(), 100);
    versions->setValue(3);
    emit versions->editingFinished();
    EXPECT_EQ(m_controller->history()->limits().versionsPerDomain, 3);
    for (qint64 value = 2; value < 8; ++value) {
        setA(value);
        trigger("actionSaveDomain");
    }
    EXPECT_EQ(m_controller->history()->versions(kName).size(), 3);
    ASSERT_TRUE(
        TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kHistoryVersions), TRValue()));
    versions->window()->close();
}

TEST_F(History, ADamagedVersionIsNamedInThePanelAndTheOthersStillShow)
{
    startShowing(kName, twoKeys(1));
    for (qint64 value = 2; value < 5; ++value) {
        setA(value);
        trigger("actionSaveDomain");
    }
    ASSERT_EQ(m_controller->history()->versions(kName).size(), 4);
    const QString damaged =
        TRDomainHistory::defaultFolder() + u'/' + kName + QStringLiteral("/00000003.plist");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a property list");
    file.close();
    // A save still keeps its version.
    setA(9);
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(kName), twoKeys(9));
    trigger("actionHistory");
    QTreeWidget *versions = panelList("historyVersions");
    ASSERT_EQ(versions->topLevelItemCount(), 4);
    const auto *status = mainWindow()->findChild<QLabel *>(QStringLiteral("historyStatus"));
    EXPECT_TRUE(status->text().contains(damaged)) << status->text().toStdString();
    // The newest is whole again; the one built on the damaged file says so and cannot be chosen.
    EXPECT_TRUE(versions->topLevelItem(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(versions->topLevelItem(1)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(versions->topLevelItem(3)->flags() & Qt::ItemIsEnabled);
    versions->setCurrentItem(versions->topLevelItem(3));
    EXPECT_EQ(panelList("historyChanges")->topLevelItemCount(), 2);
}
