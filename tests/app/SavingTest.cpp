#include "AppTestFixture.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsLock.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>

using Saving = AppTest;

namespace {

TRDomainEnvelopePtr envelope(const QString &name, const TRValue &contents = TRValue::fromDictionary({}))
{
    return std::make_shared<TRDomainEnvelope>(name, contents);
}

} // namespace

TEST_F(Saving, SaveCurrentDomain)
{
    storeDomain(QStringLiteral("plain"), dictionaryOf(2));
    start();
    // Nothing current: nothing happens.
    trigger("actionSaveDomain");
    EXPECT_TRUE(alertTitles().isEmpty());

    // Not modified: nothing is written (the file removed behind our back stays removed).
    selectRow(0);
    QFile::remove(domainFile(QStringLiteral("plain")));
    trigger("actionSaveDomain");
    EXPECT_FALSE(QFile::exists(domainFile(QStringLiteral("plain"))));

    // An empty domain is refused with its name, modified or not, and keeps its flag.
    newDomain(QStringLiteral("empty.one"));
    trigger("actionSaveDomain");
    ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Empty domain")});
    EXPECT_TRUE(TRAlert::shownAlerts()[0].message.contains(QStringLiteral("empty.one")));
    EXPECT_TRUE(domain(QStringLiteral("empty.one"))->modified());
    EXPECT_FALSE(storeHas(QStringLiteral("empty.one")));

    // A modified domain with keys is written, its marker cleared, the history kept.
    m_controller->addDomain(envelope(QStringLiteral("full"), dictionaryOf(3)));
    selectRow(2);
    ASSERT_EQ(m_controller->currentDomain()->name(), QStringLiteral("full"));
    trigger("actionSaveDomain");
    EXPECT_EQ(storedDomain(QStringLiteral("full")), dictionaryOf(3));
    EXPECT_EQ(cell(2, QStringLiteral("modified")), QString());
    EXPECT_EQ(undoNames().size(), 2);
}

TEST_F(Saving, SaveAllWritesModifiedDomainsAndWarnsOnceAboutEmptyOnes)
{
    start();
    for (const char *name : {"e1", "e2", "e3"})
        m_controller->addDomain(envelope(QString::fromLatin1(name)));
    m_controller->addDomain(envelope(QStringLiteral("m1"), dictionaryOf(1)));
    m_controller->addDomain(envelope(QStringLiteral("m2"), dictionaryOf(2)));
    trigger("actionSaveAllDomains");
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Empty domain")});
    EXPECT_EQ(storedDomain(QStringLiteral("m1")), dictionaryOf(1));
    EXPECT_EQ(storedDomain(QStringLiteral("m2")), dictionaryOf(2));
    for (const char *name : {"e1", "e2", "e3"}) {
        EXPECT_FALSE(storeHas(QString::fromLatin1(name)));
        EXPECT_TRUE(domain(QString::fromLatin1(name))->modified());
    }
    EXPECT_FALSE(domain(QStringLiteral("m1"))->modified());
    EXPECT_EQ(undoNames().size(), 5);
}

TEST_F(Saving, FailedWriteIsReportedAndKeepsTheFlag)
{
    start();
    // A directory where the domain's file would go: the store cannot replace it.
    ASSERT_TRUE(QDir(storeFolder()).mkpath(QStringLiteral("blocked.plist/inside")));
    m_controller->addDomain(envelope(QStringLiteral("blocked"), dictionaryOf(1)));
    m_controller->addDomain(envelope(QStringLiteral("fine"), dictionaryOf(1)));
    selectRow(0);
    trigger("actionSaveDomain");
    ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("Cannot save domain")});
    EXPECT_TRUE(TRAlert::shownAlerts()[0].message.contains(QStringLiteral("blocked")));
    EXPECT_TRUE(domain(QStringLiteral("blocked"))->modified());
    EXPECT_EQ(cell(0, QStringLiteral("modified")), TRAppController::trCross());

    // "Save and Quit" whose save fails does not quit; the other domain is saved.
    TRAlert::resetScript();
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionQuit");
    EXPECT_EQ(alertTitles(),
              (QStringList{QStringLiteral("About to quit Tamrix"), QStringLiteral("Cannot save domain")}));
    EXPECT_FALSE(m_controller->hasTerminated());
    EXPECT_TRUE(m_interface->mainWindow()->isVisible());
    EXPECT_TRUE(domain(QStringLiteral("blocked"))->modified());
    EXPECT_EQ(storedDomain(QStringLiteral("fine")), dictionaryOf(1));
}

TEST_F(Saving, ReloadCurrentDomain)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    start();
    newDomain(QStringLiteral("fresh"));
    ASSERT_FALSE(undoNames().isEmpty());

    // Domains loaded, none shown: no question, no domain reloaded, the history still cleared.
    windowPart<QTableView>("domainListView")->clearSelection();
    settle();
    trigger("actionReloadDomain");
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_TRUE(domain(QStringLiteral("fresh"))->modified());

    // A modified current domain asks; "No" changes nothing.
    newDomain(QStringLiteral("second"));
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionReloadDomain");
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to reload a domain")});
    EXPECT_TRUE(domain(QStringLiteral("second"))->modified());
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});

    // "Yes": a domain the store does not hold stays listed, empty and not modified.
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionReloadDomain");
    EXPECT_FALSE(domain(QStringLiteral("second"))->modified());
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_EQ(domainNames().last(), QStringLiteral("second"));

    // Not modified: no question; the outline shows what another program wrote meanwhile.
    TRAlert::resetScript();
    selectRow(0);
    storeDomain(QStringLiteral("a"), dictionaryOf(3));
    trigger("actionReloadDomain");
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_EQ(outlineRows().size(), 3);
    EXPECT_EQ(cell(0, QStringLiteral("keyCount")), QStringLiteral("3"));
}

TEST_F(Saving, ReloadAllAsksAndRebuildsTheList)
{
    storeDomain(QStringLiteral("a"), dictionaryOf(1));
    start();
    selectRow(0);
    // "No": nothing changes.
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionReloadAllDomains");
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to reload all domains")});
    EXPECT_TRUE(outlineHasModel());

    newDomain(QStringLiteral("unsaved"));
    storeDomain(QStringLiteral("b.from.elsewhere"), dictionaryOf(2));
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionReloadAllDomains");
    EXPECT_EQ(domainNames(), (QStringList{QStringLiteral("a"), QStringLiteral("b.from.elsewhere")}));
    EXPECT_FALSE(outlineHasModel());
    EXPECT_EQ(m_controller->currentDomain(), nullptr);
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_FALSE(action("actionUndo")->isEnabled());

    // Asks even with nothing modified and nothing loaded.
    TRAlert::resetScript();
    QFile::remove(domainFile(QStringLiteral("a")));
    QFile::remove(domainFile(QStringLiteral("b.from.elsewhere")));
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionReloadAllDomains");
    EXPECT_TRUE(domainNames().isEmpty());
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionReloadAllDomains");
    EXPECT_EQ(alertTitles().size(), 2);
}

TEST_F(Saving, FileCorruptedByAnotherProgramIsSetAsideNotOverwritten)
{
    start();
    m_controller->addDomain(envelope(QStringLiteral("shared"), dictionaryOf(2)));
    const QByteArray garbage("written by another program, not a property list");
    {
        QFile file(domainFile(QStringLiteral("shared")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    selectRow(0);
    // The file is not the one the domain was made over: replaced only once the user says so.
    TRAlert::setNextAnswer(TRAlert::kOther);
    trigger("actionSaveDomain");
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("Changed by another program")});
    EXPECT_EQ(storedDomain(QStringLiteral("shared")), dictionaryOf(2));
    const QStringList aside =
        QDir(storeFolder())
            .entryList({QStringLiteral("shared.plist.unreadable-*")}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QDir(storeFolder()).filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), garbage);
}

TEST_F(Saving, FailedRemovalKeepsTheDomainListed)
{
    start();
    m_controller->addDomain(envelope(QStringLiteral("blocked"), dictionaryOf(1)));
    // A directory where the domain's file would be: the store cannot delete it.
    ASSERT_TRUE(QDir(storeFolder()).mkpath(QStringLiteral("blocked.plist/inside")));
    selectRow(0);
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionDeleteDomain");
    EXPECT_EQ(alertTitles(), (QStringList{QStringLiteral("About to delete a domain"),
                                          QStringLiteral("Cannot delete domain")}));
    EXPECT_EQ(domainNames(), QStringList{QStringLiteral("blocked")});
    EXPECT_TRUE(domain(QStringLiteral("blocked"))->modified());
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("New domain")});
    EXPECT_TRUE(QDir(storeFolder()).exists(QStringLiteral("blocked.plist/inside")));
}

TEST_F(Saving, TheStatusBarTellsOfTheLockItWaitsForAndOfSavingWithoutIt)
{
    storeDomain(QStringLiteral("held"), dictionaryOf(1));
    start();
    const QString lock = TRDefaultsLock::lockPath(storeFolder());
    ASSERT_TRUE(QDir().mkpath(lock)); // another program's, fresh
    TRDefaultsLock::setTiming({10, 20000, 300});
    QStringList shown;
    QStatusBar *status = m_interface->mainWindow()->statusBar();
    QObject::connect(status, &QStatusBar::messageChanged, status, [&shown](const QString &text) {
        if (!text.isEmpty() && (shown.isEmpty() || shown.last() != text))
            shown.append(text);
    });

    m_controller->addDomain(envelope(QStringLiteral("m1"), dictionaryOf(2)));
    trigger("actionSaveAllDomains");
    TRDefaultsLock::setTiming(TRDefaultsLock::Timing{});
    ASSERT_TRUE(QDir().rmdir(lock));

    EXPECT_EQ(storedDomain(QStringLiteral("m1")), dictionaryOf(2)); // saved without the lock, and said so
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().contains(storeFolder())) << shown.first().toStdString();
    EXPECT_TRUE(shown.last().contains(lock)) << shown.last().toStdString();
    EXPECT_EQ(status->currentMessage(), shown.last());
}
