// Find in All Domains through the real main window: the result rows over a generated store, names and
// values, collapsed keys included, and a result activated; the shortcuts of the find commands.
#include "KeyTestSupport.h"
#include "TRFindAllPanel.h"
#include "TRMainWindow.h"
#include "store/TRPreferences.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

// Domain n holds "plain", a nested dictionary "deep" whose "Needle" entry is n, and a list with a
// text that mentions a needle in domain 3 only.
TRValue generated(int n)
{
    TRDictionary deepest;
    deepest.insert(QStringLiteral("Needle"), TRValue::fromInteger(n));
    TRDictionary deep;
    deep.insert(QStringLiteral("inner"), TRValue::fromDictionary(std::move(deepest)));
    TRDictionary top;
    top.insert(QStringLiteral("plain"), TRValue::fromString(QStringLiteral("hay")));
    top.insert(QStringLiteral("deep"), TRValue::fromDictionary(std::move(deep)));
    top.insert(QStringLiteral("list"),
               TRValue::fromArray(
                   {TRValue::fromString(n == 3 ? QStringLiteral("a NEEDLE here") : QStringLiteral("hay")),
                    TRValue::fromBool(true)}));
    return TRValue::fromDictionary(std::move(top));
}

class FindAll : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        for (int n = 0; n < 5; ++n)
            storeDomain(QStringLiteral("org.example.d%1").arg(n), generated(n));
        start();
        trigger("actionFindInAllDomains");
        m_panel = m_interface->mainWindow()->findChild<TRFindAllPanel *>();
        ASSERT_NE(m_panel, nullptr);
    }

    // The result rows as "domain | path | value", once the search is done.
    QStringList find(const QString &text, bool inValues)
    {
        QSignalSpy finished(m_panel, &TRFindAllPanel::searchFinished);
        m_panel->findChild<QCheckBox *>(QStringLiteral("findAllInValues"))->setChecked(inValues);
        m_panel->search(text, inValues);
        if (m_panel->isSearching()) {
            EXPECT_TRUE(finished.wait(10000));
        }
        const auto *results = m_panel->findChild<QTreeWidget *>(QStringLiteral("findAllResults"));
        QStringList rows;
        for (int i = 0; i < results->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = results->topLevelItem(i);
            rows.append(item->text(0) + QStringLiteral(" | ") + item->text(1) + QStringLiteral(" | ") +
                        item->text(2));
        }
        return rows;
    }

    TRFindAllPanel *m_panel = nullptr;
};

} // namespace

TEST_F(FindAll, ListsEveryMatchOfNamesAndValues)
{
    EXPECT_TRUE(m_panel->isVisible());
    QStringList names;
    for (int n = 0; n < 5; ++n)
        names.append(QStringLiteral("org.example.d%1 | deep/inner/Needle | %1").arg(n));
    // Names only, whatever their case; collapsed keys are searched.
    EXPECT_EQ(find(QStringLiteral("needle"), false), names);
    // Values too: a text, a number, a boolean as the outline shows it.
    QStringList withValues = names;
    withValues.insert(4, QStringLiteral("org.example.d3 | list/0 | a NEEDLE here"));
    EXPECT_EQ(find(QStringLiteral("NEEDLE"), true), withValues);
    EXPECT_EQ(find(QStringLiteral("4"), true),
              QStringList{QStringLiteral("org.example.d4 | deep/inner/Needle | 4")});
    EXPECT_EQ(find(QStringLiteral("YES"), true).size(), 5);
    // A name of a container, shown with its size; nothing for an empty text.
    EXPECT_EQ(find(QStringLiteral("inner"), false).first(),
              QStringLiteral("org.example.d0 | deep/inner | 1 sub-items"));
    EXPECT_TRUE(find(QString(), true).isEmpty());
    EXPECT_TRUE(find(QStringLiteral("absent"), true).isEmpty());
    EXPECT_EQ(m_panel->findChild<QLabel *>(QStringLiteral("findAllStatus"))->text(),
              QStringLiteral("0 matches"));
    // Nothing in names while values were not searched says so.
    EXPECT_TRUE(find(QStringLiteral("hay"), false).isEmpty());
    EXPECT_EQ(m_panel->findChild<QLabel *>(QStringLiteral("findAllStatus"))->text(),
              QStringLiteral("No key name contains the text; values were not searched"));
}

TEST_F(FindAll, SearchValuesTooStartsAsLookInValuesSays)
{
    for (const bool look : {false, true}) {
        SCOPED_TRACE(look);
        TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kLookInValues),
                                         TRValue::fromBool(look));
        TRFindAllPanel panel(*m_controller, nullptr);
        EXPECT_EQ(panel.findChild<QCheckBox *>(QStringLiteral("findAllInValues"))->isChecked(), look);
    }
}

TEST_F(FindAll, ActivatingAResultShowsTheKey)
{
    find(QStringLiteral("needle"), true);
    auto *results = m_panel->findChild<QTreeWidget *>(QStringLiteral("findAllResults"));
    for (const int row : {3, 2}) {
        QTreeWidgetItem *item = results->topLevelItem(row);
        emit results->itemActivated(item, 0);
        settle();
        ASSERT_NE(m_controller->currentDomain(), nullptr);
        EXPECT_EQ(m_controller->currentDomain()->name(), item->text(0));
        ASSERT_NE(m_controller->selectedKey(), nullptr);
        EXPECT_EQ(TRAppController::keyPath(*m_controller->selectedKey()), item->text(1));
        EXPECT_TRUE(outline()->isExpanded(model()->indexForKey(m_controller->selectedKey()->parent().get())));
    }
    // A key gone since the search: its deepest ancestor still there is shown.
    m_controller->revealKey(QStringLiteral("org.example.d1"),
                            {QStringLiteral("deep"), QStringLiteral("gone")});
    EXPECT_EQ(TRAppController::keyPath(*m_controller->selectedKey()), QStringLiteral("deep"));
}

TEST_F(FindAll, FindCommandsHaveTheirOwnShortcuts)
{
    EXPECT_EQ(action("actionFindInAllDomains")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    // Beside Find Domain, where a search across domains is looked for.
    const auto *domainMenu = m_interface->mainWindow()->findChild<QMenu *>(QStringLiteral("menuDomain"));
    ASSERT_TRUE(domainMenu);
    EXPECT_TRUE(domainMenu->actions().contains(action("actionFindInAllDomains")));
    EXPECT_EQ(action("actionFindKey")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    // No two commands of the window share a shortcut.
    QSet<QString> seen;
    for (const QAction *command : m_interface->mainWindow()->findChildren<QAction *>()) {
        for (const QKeySequence &keys : command->shortcuts()) {
            const QString text = keys.toString();
            EXPECT_FALSE(seen.contains(text)) << text.toStdString();
            seen.insert(text);
        }
    }
}
