// Commands on several keys at once through the clipboard's property lists and drags, all made of the
// three key primitives and each one undo step.
#include "TRKeyClipboard.h"

#include "TRKeyCommands.h"
#include "TRText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace {

// A free name in the dictionary: the name itself, else "name copy", "name copy 2", ...
QString unusedName(const TRKey &dictionary, const QString &name)
{
    if (!dictionary.keyExists(TRValue::fromString(name)))
        return name;
    QString candidate = trFormat(trText("%@ copy"), {name});
    for (int number = 2; dictionary.keyExists(TRValue::fromString(candidate)); ++number)
        candidate = trFormat(trText("%@ copy %d"), {name, QString::number(number)});
    return candidate;
}

bool holds(const std::vector<TRKeyPtr> &keys, const TRKey *key)
{
    return std::ranges::any_of(keys, [key](const TRKeyPtr &held) { return held.get() == key; });
}

// New elements of the list for the fragment's values, put into children at the position and named by
// the positions they take there.
std::vector<TRKeyPtr> insertElements(const TRKeyPtr &list, std::vector<TRKeyPtr> *children, std::size_t at,
                                     const TRKeyPlistFragment &fragment)
{
    std::vector<TRKeyPtr> elements;
    for (const TRKeyPlistFragment::Item &item : fragment.items) {
        const TRValue name = TRValue::fromInteger(qint64(at + elements.size()));
        if (TRKeyPtr key = TRKey::create(name, item.value, list, list->domain()))
            elements.push_back(std::move(key));
    }
    children->insert(children->begin() + std::ptrdiff_t(at), elements.begin(), elements.end());
    return elements;
}

} // namespace

TRKeyClipboard::TRKeyClipboard(TRKeyCommands &commands, TRKeyOutlineDrag::DropFunction drop)
    : m_commands(commands), m_dragHandler(std::make_shared<TRKeyOutlineDrag>(std::move(drop)))
{
}

std::vector<TRKeyPtr> TRKeyClipboard::insertFragment(const TRKeyPtr &parent, int position,
                                                     const TRKeyPlistFragment &fragment,
                                                     const QString &actionName)
{
    std::vector<TRKeyPtr> added;
    if (!parent || !parent->isCompound() || fragment.items.empty())
        return added;
    m_commands.beginCommand();
    if (parent->isDictionary()) {
        for (const TRKeyPlistFragment::Item &item : fragment.items) {
            const QString name = unusedName(*parent, item.named ? item.name : trText("new key"));
            const TRKeyPtr key =
                TRKey::create(TRValue::fromString(name), item.value, parent, parent->domain());
            if (!key)
                continue;
            m_commands.addKey(key);
            added.push_back(key);
        }
    } else {
        std::vector<TRKeyPtr> children = parent->children();
        const std::size_t at =
            position < 0 ? children.size() : std::min(std::size_t(position), children.size());
        added = insertElements(parent, &children, at, fragment);
        m_commands.rearrangeList(parent, children);
    }
    m_commands.endCommand(actionName);
    return added;
}

void TRKeyClipboard::copy(const std::vector<TRKeyPtr> &keys)
{
    if (keys.empty())
        return;
    auto *data = new QMimeData;
    TRKeyPlistFragment::fromKeys(keys).writeTo(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

void TRKeyClipboard::cut(const std::vector<TRKeyPtr> &keys)
{
    if (keys.empty())
        return;
    copy(keys);
    m_commands.beginCommand();
    m_commands.removeKeys(keys);
    m_commands.endCommand(trText("Cut"));
}

bool TRKeyClipboard::readClipboard(TRKeyPlistFragment *fragment, QString *error)
{
    return TRKeyPlistFragment::readFrom(QGuiApplication::clipboard()->mimeData(), fragment, error);
}

std::vector<TRKeyPtr> TRKeyClipboard::duplicate(const std::vector<TRKeyPtr> &keys)
{
    std::vector<TRKeyPtr> added;
    std::vector<TRKeyPtr> lists;
    m_commands.beginCommand();
    for (const TRKeyPtr &key : keys) {
        const TRKeyPtr parent = key->parent();
        if (!parent)
            continue;
        if (parent->isArray()) {
            if (!holds(lists, parent.get()))
                lists.push_back(parent);
            continue;
        }
        const QString name = unusedName(*parent, key->name().toString());
        if (const TRKeyPtr copy = TRKey::create(TRValue::fromString(name), key->databaseRepresentation(),
                                                parent, parent->domain())) {
            m_commands.addKey(copy);
            added.push_back(copy);
        }
    }
    // In a list each copy follows its element.
    for (const TRKeyPtr &list : lists) {
        std::vector<TRKeyPtr> children;
        for (const TRKeyPtr &child : list->children()) {
            children.push_back(child);
            if (!holds(keys, child.get()))
                continue;
            const TRValue position = TRValue::fromInteger(qint64(children.size()));
            if (const TRKeyPtr copy =
                    TRKey::create(position, child->databaseRepresentation(), list, list->domain())) {
                children.push_back(copy);
                added.push_back(copy);
            }
        }
        m_commands.rearrangeList(list, children);
    }
    m_commands.endCommand(trText("Duplicate"));
    return added;
}

bool TRKeyClipboard::drop(const TRKeyDrop &drop, std::vector<TRKeyPtr> *arrived)
{
    const TRKeyPtr &parent = drop.parent;
    if (!parent || !parent->isCompound() || drop.fragment.items.empty())
        return false;
    const bool move = drop.move && drop.sources.size() == drop.fragment.items.size();
    const QString actionName = move ? trText("Move keys") : trText("Copy keys");
    if (!move) {
        *arrived = insertFragment(parent, drop.row, drop.fragment, actionName);
        return !arrived->empty();
    }
    // Keys moved within their own dictionary stay as they are; the others leave their places.
    std::vector<TRKeyPtr> leaving;
    TRKeyPlistFragment arriving;
    for (std::size_t i = 0; i < drop.sources.size(); ++i) {
        const TRKeyPtr &source = drop.sources[i];
        if (parent->isDictionary() && source->parent() == parent)
            continue;
        if (source->parent() != parent)
            leaving.push_back(source);
        arriving.items.push_back(drop.fragment.items[i]);
    }
    if (arriving.items.empty())
        return false;
    std::vector<TRKeyPtr> added;
    m_commands.beginCommand();
    m_commands.removeKeys(leaving);
    if (parent->isDictionary()) {
        added = insertFragment(parent, -1, arriving, actionName);
    } else {
        // The elements of this list that move are taken out and put back at the drop row, which counts the
        // rows before they left.
        std::vector<TRKeyPtr> children;
        std::size_t at = std::size_t(-1);
        const std::vector<TRKeyPtr> &now = parent->children();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (int(i) == drop.row)
                at = children.size();
            if (!holds(drop.sources, now[i].get()))
                children.push_back(now[i]);
        }
        at = std::min(at, children.size());
        added = insertElements(parent, &children, at, arriving);
        m_commands.rearrangeList(parent, children);
    }
    m_commands.endCommand(actionName);
    *arrived = std::move(added);
    return true;
}
