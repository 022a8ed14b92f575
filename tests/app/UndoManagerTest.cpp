#include "TRUndoManager.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// A value that two operations move between two states, registering each other as NSUndoManager's
// targets do.
struct Toggle
{
    TRUndoManager *manager;
    int value = 0;
    QStringList log;

    void set(int next, const QString &name)
    {
        const int previous = value;
        value = next;
        log.append(QStringLiteral("%1->%2").arg(previous).arg(next));
        manager->registerUndo([this, previous, name] { set(previous, name); });
        manager->setActionName(name);
    }
};

} // namespace

TEST(UndoManager, UndoRegistersRedoUnderTheSameName)
{
    TRUndoManager manager;
    QSignalSpy changed(&manager, &TRUndoManager::changed);
    Toggle toggle{&manager, 0, {}};
    EXPECT_FALSE(manager.canUndo());
    EXPECT_EQ(manager.undoMenuItemTitle(), QStringLiteral("&Undo"));

    toggle.set(1, QStringLiteral("New domain"));
    toggle.set(2, QStringLiteral("Delete domain"));
    EXPECT_EQ(manager.undoActionNames(),
              (QStringList{QStringLiteral("Delete domain"), QStringLiteral("New domain")}));
    EXPECT_EQ(manager.undoMenuItemTitle(), QStringLiteral("&Undo Delete domain"));
    EXPECT_GT(changed.count(), 0);

    manager.undo();
    EXPECT_EQ(toggle.value, 1);
    EXPECT_EQ(manager.redoMenuItemTitle(), QStringLiteral("&Redo Delete domain"));
    EXPECT_EQ(manager.undoMenuItemTitle(), QStringLiteral("&Undo New domain"));
    manager.undo();
    EXPECT_EQ(toggle.value, 0);
    EXPECT_FALSE(manager.canUndo());
    manager.undo(); // nothing left: no effect
    EXPECT_EQ(toggle.value, 0);

    manager.redo();
    manager.redo();
    EXPECT_EQ(toggle.value, 2);
    EXPECT_FALSE(manager.canRedo());
    EXPECT_EQ(manager.undoActionNames().size(), 2);
}

TEST(UndoManager, NewChangeDropsRedoAndRemoveAllEmptiesBoth)
{
    TRUndoManager manager;
    Toggle toggle{&manager, 0, {}};
    toggle.set(1, QStringLiteral("a"));
    toggle.set(2, QStringLiteral("b"));
    manager.undo();
    ASSERT_TRUE(manager.canRedo());
    toggle.set(5, QStringLiteral("c"));
    EXPECT_FALSE(manager.canRedo());
    EXPECT_EQ(manager.undoActionNames(), (QStringList{QStringLiteral("c"), QStringLiteral("a")}));

    manager.undo();
    manager.removeAllActions();
    EXPECT_FALSE(manager.canUndo());
    EXPECT_FALSE(manager.canRedo());
}

TEST(UndoManager, StateFlagsAndGroups)
{
    TRUndoManager manager;
    bool sawUndoing = false;
    bool sawRedoing = false;
    std::function<void()> forward;
    std::function<void()> backward = [&] {
        sawUndoing = manager.isUndoing();
        manager.registerUndo(forward);
    };
    forward = [&] {
        sawRedoing = manager.isRedoing();
        manager.registerUndo(backward);
    };
    manager.registerUndo(backward);
    EXPECT_FALSE(manager.isUndoing());
    manager.undo();
    EXPECT_TRUE(sawUndoing);
    manager.redo();
    EXPECT_TRUE(sawRedoing);
    EXPECT_FALSE(manager.isUndoing());
    EXPECT_FALSE(manager.isRedoing());

    // Registrations inside a group form one step, undone in reverse order.
    manager.removeAllActions();
    QStringList order;
    manager.beginUndoGrouping();
    manager.registerUndo([&] { order.append(QStringLiteral("first")); });
    manager.registerUndo([&] { order.append(QStringLiteral("second")); });
    manager.endUndoGrouping();
    manager.setActionName(QStringLiteral("Both"));
    EXPECT_EQ(manager.undoActionNames(), QStringList{QStringLiteral("Both")});
    manager.undo();
    EXPECT_EQ(order, (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
    // Nothing was registered while undoing: there is nothing to redo.
    EXPECT_FALSE(manager.canRedo());
}
