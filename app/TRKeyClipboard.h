#pragma once

#include "TRKey.h"
#include "TRKeyOutlineDrag.h"
#include "TRKeyPlistFragment.h"

#include <QString>
#include <memory>
#include <vector>

class TRKeyCommands;
class TRKeyOutlineDragHandler;

// Cut, Copy, Paste, Duplicate and drag and drop of keys: the property lists keys become on the clipboard
// and in a drag, and the key commands that put values in their places, each command one undo step. It
// owns the drag handler that every domain's outline model shares; what a drop arrives at is handed to
// the drop function (the controller), and selecting what arrived is the caller's.
class TRKeyClipboard
{
public:
    TRKeyClipboard(TRKeyCommands &commands, TRKeyOutlineDrag::DropFunction drop);

    const std::shared_ptr<TRKeyOutlineDragHandler> &dragHandler() const { return m_dragHandler; }

    // Puts the fragment's values into the compound node: into a list at the position (the end when out of
    // range), into a dictionary under their names made unique. One undo step under the action name;
    // answers the new keys.
    std::vector<TRKeyPtr> insertFragment(const TRKeyPtr &parent, int position,
                                         const TRKeyPlistFragment &fragment, const QString &actionName);
    // The keys' property lists on the system clipboard.
    static void copy(const std::vector<TRKeyPtr> &keys);
    // Copies, then removes the keys: one step.
    void cut(const std::vector<TRKeyPtr> &keys);
    // What the system clipboard holds as keys; false, with the reason, when it holds no property list.
    static bool readClipboard(TRKeyPlistFragment *fragment, QString *error);
    // A copy of each key beside it (in a list, right after its element); answers the copies.
    std::vector<TRKeyPtr> duplicate(const std::vector<TRKeyPtr> &keys);
    // Carries out a drop on a key outline (copy, or move when the keys came from an outline of this
    // process): one undo step. Answers whether anything arrived, with the keys that did.
    bool drop(const TRKeyDrop &drop, std::vector<TRKeyPtr> *arrived);

private:
    TRKeyCommands &m_commands;
    std::shared_ptr<TRKeyOutlineDragHandler> m_dragHandler;
};
