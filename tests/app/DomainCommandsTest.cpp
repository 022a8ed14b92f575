#include "AppTestFixture.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "store/TRPreferences.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

using DomainCommands = AppTest;

TEST_F(DomainCommands, NewDomainIsAppendedSelectedModifiedAndUndoable)
{
    storeDomain(QStringLiteral("org.example.A"), dictionaryOf(1));
    start();
    newDomain(QStringLiteral("org.example.a"));
    // Names compare exactly: both exist.
    ASSERT_EQ(domainNames(), (QStringList{QStringLiteral("org.example.A"), QStringLiteral("org.example.a")}));
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("org.example.a"));
    EXPECT_TRUE(outlineHasModel());
    EXPECT_TRUE(outlineRows().isEmpty());
    EXPECT_EQ(cell(1, QStringLiteral("modified")), QString(QChar(0x2718)));
    EXPECT_EQ(cell(1, QStringLiteral("keyCount")), QStringLiteral("0"));
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});
    EXPECT_EQ(action("actionUndo")->text(), QStringLiteral("&Undo New domain"));
    EXPECT_TRUE(action("actionUndo")->isEnabled());
    EXPECT_FALSE(action("actionRedo")->isEnabled());
    // Not in the store until saved.
    EXPECT_FALSE(storeHas(QStringLiteral("org.example.a")));

    trigger("actionUndo");
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("org.example.A")});
    EXPECT_EQ(action("actionRedo")->text(), QStringLiteral("&Redo New domain"));
    trigger("actionRedo");
    ASSERT_EQ(domainNames().size(), 2);
    EXPECT_EQ(domainNames().last(), QStringLiteral("org.example.a"));
    EXPECT_TRUE(domain(QStringLiteral("org.example.a"))->modified());
    EXPECT_EQ(domain(QStringLiteral("org.example.a"))->count(), 0);
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});
}

TEST_F(DomainCommands, NewDomainRefusals)
{
    storeDomain(QStringLiteral("taken"), dictionaryOf(1));
    start();
    newDomain(QStringLiteral("ignored"), 0);
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("taken")});
    EXPECT_TRUE(alertTitles().isEmpty());

    newDomain(QString());
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Empty domain name")});

    newDomain(QStringLiteral("taken"));
    EXPECT_EQ(alertTitles().last(), QStringLiteral("Domain exists"));
    EXPECT_TRUE(
        TRAlert::shownAlerts().last().message.contains(QStringLiteral("The domain taken already exists")));

    // Names the store cannot hold are refused with their own alert and nothing is added or written.
    const QStringList invalid{QStringLiteral("a/b"), QStringLiteral("."), QStringLiteral(".."),
                              QStringLiteral("nul") + QChar(0) + QStringLiteral("x"),
                              QString(300, QLatin1Char('n'))};
    for (const QString &name : invalid) {
        TRAlert::resetScript();
        newDomain(name);
        EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Invalid domain name")}) << name.toStdString();
    }
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("taken")});
    EXPECT_TRUE(undoNames().isEmpty());

    // A single space is a name; the sheet keeps the last text typed.
    TRAlert::resetScript();
    newDomain(QStringLiteral(" "));
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_EQ(domainNames().last(), QStringLiteral(" "));
    TRSheetRunner::setNextAnswer(1);
    trigger("actionNewDomain");
    EXPECT_EQ(m_controller->sheets().newDomainNameEdit->text(), QStringLiteral(" "));
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Domain exists")});
}

TEST_F(DomainCommands, NewDomainRefusesNamesTheStoreHoldsButTheListDoesNot)
{
    start();
    // Other programs made these after start-up: a readable domain, a file that cannot be read, and a
    // link to nowhere. Undoing a creation of any of these names would delete what is not the user's.
    storeDomain(QStringLiteral("org.other.app"), dictionaryOf(2));
    QFile broken(domainFile(QStringLiteral("org.other.broken")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a property list");
    broken.close();
    ASSERT_TRUE(QFile::link(storeFolder() + QStringLiteral("/nowhere"),
                            domainFile(QStringLiteral("org.other.link"))));

    for (const QString &name : {QStringLiteral("org.other.app"), QStringLiteral("org.other.broken"),
                                QStringLiteral("org.other.link")}) {
        TRAlert::resetScript();
        newDomain(name);
        ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Domain exists")}) << name.toStdString();
        const QString message = TRAlert::shownAlerts().first().message;
        EXPECT_TRUE(message.contains(name)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("Reload All Domains"))) << message.toStdString();
    }
    EXPECT_TRUE(domainNames().isEmpty());
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_EQ(storedDomain(QStringLiteral("org.other.app")), dictionaryOf(2));
    EXPECT_TRUE(QFile::exists(domainFile(QStringLiteral("org.other.broken"))));
    EXPECT_TRUE(QFileInfo(domainFile(QStringLiteral("org.other.link"))).isSymLink());

    // After Reload All Domains the domain is in the list, and the list's own refusal answers.
    TRAlert::resetScript();
    trigger("actionReloadAllDomains");
    ASSERT_EQ(domainNames(), QStringList{QStringLiteral("org.other.app")});
    TRAlert::resetScript();
    newDomain(QStringLiteral("org.other.app"));
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Domain exists")});
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("org.other.app")});
}

TEST_F(DomainCommands, DeleteConfirmationAndSelectionAfterwards)
{
    for (const char *name : {"a", "b", "c"})
        storeDomain(QString::fromLatin1(name), dictionaryOf(1));
    start();
    // No current domain: nothing, not even a question.
    trigger("actionDeleteDomain");
    EXPECT_TRUE(alertTitles().isEmpty());

    selectRow(1);
    TRAlert::setNextAnswer(TRAlert::kDefault); // "No", the default button
    trigger("actionDeleteDomain");
    ASSERT_EQ(TRAlert::shownAlerts().size(), 1);
    EXPECT_EQ(TRAlert::shownAlerts()[0].buttons, (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
    EXPECT_EQ(domainNames().size(), 3);
    EXPECT_TRUE(storeHas(QStringLiteral("b")));

    TRAlert::setNextAnswer(TRAlert::kAlternate); // "Yes"
    trigger("actionDeleteDomain");
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_FALSE(storeHas(QStringLiteral("b")));
    // The same row stays selected, now showing the domain that followed.
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("c"));
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Delete domain")});

    // Deleting the last row selects the new last row (Delete in the list asks the same question).
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    m_interface->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_interface->mainWindow()));
    windowPart<QTableView>("domainListView")->setFocus();
    QTest::keyClick(windowPart<QTableView>("domainListView"), Qt::Key_Delete);
    settle();
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(m_controller->currentDomain()->name(), QStringLiteral("a"));
}

TEST_F(DomainCommands, UndoDeleteBringsContentsBackUnsavedAndRedoDeletesFromStore)
{
    storeDomain(QStringLiteral("first"), dictionaryOf(4));
    storeDomain(QStringLiteral("second"), dictionaryOf(1));
    start();
    selectRow(0);
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionDeleteDomain");
    ASSERT_FALSE(storeHas(QStringLiteral("first")));

    trigger("actionUndo");
    ASSERT_EQ(domainNames(), (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
    EXPECT_TRUE(domain(QStringLiteral("first"))->modified());
    EXPECT_EQ(domain(QStringLiteral("first"))->databaseRepresentation(), dictionaryOf(4));
    EXPECT_FALSE(storeHas(QStringLiteral("first")));
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Delete domain")});

    trigger("actionRedo");
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("second")});
    trigger("actionUndo");
    selectRow(1);
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(QStringLiteral("first")), dictionaryOf(4));
    EXPECT_FALSE(domain(QStringLiteral("first"))->modified());
    // Saving leaves the history alone; redoing the deletion deletes the saved file too.
    trigger("actionRedo");
    EXPECT_FALSE(storeHas(QStringLiteral("first")));
}

TEST_F(DomainCommands, UndoOfNewDomainDeletesOnlyTheFileTamrixWrote)
{
    start();
    // Saved with a key that was then taken out again: undoing the creation deletes the saved domain.
    newDomain(QStringLiteral("org.example.saved"));
    const TRKeyPtr root = domain(QStringLiteral("org.example.saved"))->rootKey();
    const TRKeyPtr key =
        TRKey::create(TRValue::fromString(QStringLiteral("k")), TRValue::fromString(QStringLiteral("v")),
                      root, QStringLiteral("org.example.saved"));
    root->addKey(key);
    domain(QStringLiteral("org.example.saved"))->setModified(true);
    trigger("actionSaveDomain");
    ASSERT_TRUE(storeHas(QStringLiteral("org.example.saved")));
    root->removeKey(key);
    trigger("actionUndo");
    EXPECT_TRUE(domainNames().isEmpty());
    EXPECT_FALSE(storeHas(QStringLiteral("org.example.saved")));

    // Another program made the file after the creation: undo takes the row away, not the file, also
    // after a redo.
    newDomain(QStringLiteral("org.example.other"));
    storeDomain(QStringLiteral("org.example.other"), dictionaryOf(3));
    trigger("actionUndo");
    EXPECT_TRUE(domainNames().isEmpty());
    EXPECT_EQ(storedDomain(QStringLiteral("org.example.other")), dictionaryOf(3));
    trigger("actionRedo");
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("org.example.other")});
    trigger("actionUndo");
    EXPECT_EQ(storedDomain(QStringLiteral("org.example.other")), dictionaryOf(3));
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("New domain")});

    // A deletion, and its redo, still delete the file whoever wrote it.
    trigger("actionReloadAllDomains");
    ASSERT_EQ(domainNames(), QStringList{QStringLiteral("org.example.other")});
    selectRow(0);
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionDeleteDomain");
    EXPECT_FALSE(storeHas(QStringLiteral("org.example.other")));
    trigger("actionUndo");
    storeDomain(QStringLiteral("org.example.other"), dictionaryOf(1));
    trigger("actionRedo");
    EXPECT_FALSE(storeHas(QStringLiteral("org.example.other")));
}

TEST_F(DomainCommands, SearchWrapsBeepsAndFollowsThePreference)
{
    for (const char *name : {"com.other.tool", "org.example.viewer", "net.sample.example"})
        storeDomain(QString::fromLatin1(name), dictionaryOf(1));
    start();
    QLineEdit *field = windowPart<QLineEdit>("domainSearchField");
    // Return in the search field searches.
    const auto search = [&](const QString &text) {
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
        settle();
    };

    // Rows: com.other.tool, net.sample.example, org.example.viewer.
    search(QStringLiteral("xamp"));
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(outlineRows().size(), 1);
    search(QStringLiteral("xamp"));
    EXPECT_EQ(selectedRow(), 2);
    search(QStringLiteral("xamp")); // wraps to the top
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(TRAlert::beepCount(), 0);

    // Only the selected row matches: beep, selection kept.
    search(QStringLiteral("VIEWER"));
    EXPECT_EQ(selectedRow(), 2);
    search(QStringLiteral("VIEWER"));
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(TRAlert::beepCount(), 1);

    // Names must begin with the text.
    ASSERT_TRUE(TRPreferences::shared().setValue(QStringLiteral("DomainSearch"), TRValue::fromInteger(1)));
    search(QStringLiteral("xamp"));
    EXPECT_EQ(TRAlert::beepCount(), 2);
    EXPECT_EQ(selectedRow(), 2);
    search(QStringLiteral("net.s"));
    EXPECT_EQ(selectedRow(), 1);
    search(QStringLiteral("ORG.EX"));
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(TRAlert::beepCount(), 2);

    // Empty text: nothing.
    search(QString());
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(TRAlert::beepCount(), 2);
}

TEST_F(DomainCommands, SearchWithOneDomainDoesNothing)
{
    storeDomain(QStringLiteral("only"), dictionaryOf(1));
    start();
    windowPart<QLineEdit>("domainSearchField")->setText(QStringLiteral("nomatch"));
    m_controller->searchDomain();
    EXPECT_EQ(TRAlert::beepCount(), 0);
    EXPECT_EQ(selectedRow(), -1);
}
