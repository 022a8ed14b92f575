#pragma once

#include "TRKey.h"

#include <QSet>
#include <QString>
#include <vector>

class TRDomainController;
class TRDomainList;
class TRUndoManager;

// The key commands' own work: the three primitives every change of a key tree goes through (each changes
// the tree through its domain, registers its inverse and names the step), several primitives as one
// command (one undo step), and the refresh and AutoSave that a command, an undo or a redo defers to its
// end. What the window does about a change is the host's.
class TRKeyCommands
{
public:
    class Host
    {
    public:
        // Keys of listed domains changed (their markers and counts): they are shown again.
        virtual void keysChanged() = 0;
        // The domain's keys changed with AutoSave possibly on: the host saves it if so.
        virtual void autoSaveDomain(TRDomainController *domain) = 0;

    protected:
        ~Host() = default;
    };

    TRKeyCommands(TRDomainList &domains, TRUndoManager &undoManager, Host &host);

    // A key whose parent is gone, or no longer in its domain's tree, changes nothing and records nothing.
    void addKey(const TRKeyPtr &key);
    void removeKey(const TRKeyPtr &key);
    // The step is named "Edit key" unless the command names it (the name is kept for undo and redo).
    void replaceKey(const TRKeyPtr &oldKey, const TRKeyPtr &newKey, const QString &actionName = QString());

    // Several primitives as one command: one undo step under the action name, the refresh and AutoSave
    // run once at the end.
    void beginCommand();
    void endCommand(const QString &actionName);
    // Undo and redo defer their refreshes the same way, without a group of their own.
    void deferChanges() { ++m_deferred; }
    void finishDeferredChanges();

    // Removes keys of any parents; a list keeps the order of the elements left.
    void removeKeys(const std::vector<TRKeyPtr> &keys);
    // Gives a list these children in this order through the primitives (the first differing position to
    // the end is taken out and put back), each named by its new position.
    void rearrangeList(const TRKeyPtr &list, const std::vector<TRKeyPtr> &children);

private:
    // After a primitive: the step's domain; the refresh and (when the domain may be saved) AutoSave now,
    // or at the end of the command.
    void finishChange(TRDomainController *domain, bool mayAutoSave);

    TRDomainList &m_domains;
    TRUndoManager &m_undoManager;
    Host &m_host;
    int m_deferred = 0;
    QSet<QString> m_deferredDomains;
};
