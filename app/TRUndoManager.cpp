#include "TRUndoManager.h"

#include "TRText.h"

#include <utility>

TRUndoManager::TRUndoManager(QObject *parent) : QObject(parent)
{
}

void TRUndoManager::registerUndo(Operation operation)
{
    if (!operation)
        return;
    if (m_state != State::Idle) {
        std::vector<Step> &steps = m_state == State::Undoing ? m_redoSteps : m_undoSteps;
        if (steps.empty())
            steps.push_back(Step());
        steps.back().operations.push_back(std::move(operation));
    } else {
        m_redoSteps.clear();
        if (m_groupDepth == 0 || !m_groupHasStep) {
            m_undoSteps.push_back(Step());
            m_groupHasStep = m_groupDepth > 0;
        }
        m_undoSteps.back().operations.push_back(std::move(operation));
    }
    emit changed();
}

void TRUndoManager::beginUndoGrouping()
{
    if (m_groupDepth++ == 0)
        m_groupHasStep = false;
}

void TRUndoManager::endUndoGrouping()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupHasStep = false;
}

void TRUndoManager::setActionName(const QString &name)
{
    std::vector<Step> &steps = m_state == State::Undoing ? m_redoSteps : m_undoSteps;
    if (steps.empty() || (m_state != State::Idle && steps.back().fixedName))
        return;
    steps.back().name = name;
    emit changed();
}

void TRUndoManager::fixActionName(const QString &name)
{
    if (m_state != State::Idle || m_groupDepth == 0 || !m_groupHasStep || m_undoSteps.empty())
        return;
    m_undoSteps.back().name = name;
    m_undoSteps.back().fixedName = true;
    emit changed();
}

void TRUndoManager::setActionDomain(const QString &domain)
{
    std::vector<Step> &steps = m_state == State::Undoing ? m_redoSteps : m_undoSteps;
    if (!steps.empty())
        steps.back().domain = domain;
}

void TRUndoManager::removeActionsOfDomain(const QString &domain)
{
    const auto ofDomain = [&domain](const Step &step) { return step.domain == domain; };
    const std::size_t removed = std::erase_if(m_undoSteps, ofDomain) + std::erase_if(m_redoSteps, ofDomain);
    if (removed > 0)
        emit changed();
}

QString TRUndoManager::undoActionName() const
{
    return m_undoSteps.empty() ? QString() : m_undoSteps.back().name;
}

QString TRUndoManager::redoActionName() const
{
    return m_redoSteps.empty() ? QString() : m_redoSteps.back().name;
}

// A text shown in a menu item: an ampersand of its own is not a mnemonic.
static QString escapedMnemonics(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString TRUndoManager::undoMenuItemTitle() const
{
    const QString name = undoActionName();
    return name.isEmpty() ? trText("&Undo") : trFormat(trText("&Undo %@"), {escapedMnemonics(name)});
}

QString TRUndoManager::redoMenuItemTitle() const
{
    const QString name = redoActionName();
    return name.isEmpty() ? trText("&Redo") : trFormat(trText("&Redo %@"), {escapedMnemonics(name)});
}

static QStringList namesOf(const auto &steps)
{
    QStringList names;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        names.append(step->name);
    return names;
}

QStringList TRUndoManager::undoActionNames() const
{
    return namesOf(m_undoSteps);
}

QStringList TRUndoManager::redoActionNames() const
{
    return namesOf(m_redoSteps);
}

void TRUndoManager::undo()
{
    run(m_undoSteps, m_redoSteps, State::Undoing);
}

void TRUndoManager::redo()
{
    run(m_redoSteps, m_undoSteps, State::Redoing);
}

void TRUndoManager::run(std::vector<Step> &from, std::vector<Step> &to, State state)
{
    if (from.empty() || m_state != State::Idle)
        return;
    Step step = std::move(from.back());
    from.pop_back();
    // The inverse registrations of this step's operations gather in a new step on the other stack,
    // named by the operations themselves.
    to.push_back(Step{step.name, step.domain, {}, step.fixedName});
    m_state = state;
    for (auto operation = step.operations.rbegin(); operation != step.operations.rend(); ++operation)
        (*operation)();
    m_state = State::Idle;
    if (!to.empty() && to.back().operations.empty())
        to.pop_back();
    emit changed();
}

void TRUndoManager::removeAllActions()
{
    m_undoSteps.clear();
    m_redoSteps.clear();
    emit changed();
}
