#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The main window's undo manager. A change registers the operation that reverses it; undoing runs that
// operation, which registers its own inverse, and that registration becomes the redo step. Each step
// carries the action name its command set, so the Edit menu can say "Undo New domain".
class TRUndoManager final : public QObject
{
    Q_OBJECT

public:
    using Operation = std::function<void()>;

    explicit TRUndoManager(QObject *parent = nullptr);

    // registerUndoWithTarget:selector:object: - the operation holds whatever objects it needs.
    // Outside an undo or redo, each registration is a step of its own (unless a group is open) and
    // drops every redo step.
    void registerUndo(Operation operation);
    // Registrations between these two calls form one step.
    void beginUndoGrouping();
    void endUndoGrouping();
    // Names the step being recorded: the last undo step, or the step an undo or redo is building.
    void setActionName(const QString &name);
    // Names the step a group has recorded and keeps that name through its undo and redo, whatever the
    // replayed operations name (a command made of several primitives). Nothing when the group recorded
    // nothing.
    void fixActionName(const QString &name);

    // Tags the step being recorded (as setActionName names it) with the domain it changes.
    void setActionDomain(const QString &domain);
    // Drops the undo and redo steps tagged with the domain, leaving the others' in their order: its tree
    // was replaced under them.
    void removeActionsOfDomain(const QString &domain);

    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }
    bool canUndo() const { return !m_undoSteps.empty(); }
    bool canRedo() const { return !m_redoSteps.empty(); }
    QString undoActionName() const;
    QString redoActionName() const;
    // "&Undo New domain", or "&Undo" alone when the step has no name (translated; the mnemonic marked).
    QString undoMenuItemTitle() const;
    QString redoMenuItemTitle() const;
    // The names of the steps, the next one to undo (or redo) first.
    QStringList undoActionNames() const;
    QStringList redoActionNames() const;

    void undo();
    void redo();
    void removeAllActions();

signals:
    // The stacks or the names changed: menu items follow.
    void changed();

private:
    enum class State : quint8
    {
        Idle,
        Undoing,
        Redoing
    };
    struct Step
    {
        QString name;
        QString domain;
        std::vector<Operation> operations;
        bool fixedName = false;
    };

    void run(std::vector<Step> &from, std::vector<Step> &to, State state);

    std::vector<Step> m_undoSteps;
    std::vector<Step> m_redoSteps;
    State m_state = State::Idle;
    int m_groupDepth = 0;
    bool m_groupHasStep = false;
};
