#include "TRKeyPathEdit.h"

#include "TRDomainController.h"
#include "TRKeyPath.h"
#include "TRText.h"

namespace {

// A list position as Copy Key Path writes it; -1 for anything else.
int positionIn(const QString &name)
{
    bool isNumber = false;
    const int position = name.toInt(&isNumber);
    return isNumber && position >= 0 && QString::number(position) == name ? position : -1;
}

TRKeyPtr childOf(const TRKeyPtr &node, const QString &name)
{
    if (node->isArray()) {
        const int position = positionIn(name);
        return position >= 0 && position < node->count() ? node->childAtIndex(position) : nullptr;
    }
    return node->isDictionary() ? node->childForName(TRValue::fromString(name)) : nullptr;
}

// The name a new child of the node takes: the list's next position, or the dictionary key.
TRValue nameForNewChild(const TRKey &node, const QString &name)
{
    return node.isArray() ? TRValue::fromInteger(node.count()) : TRValue::fromString(name);
}

class Editor
{
public:
    Editor(const QString &domain, const TRValue &contents) : m_domain(domain), m_controller(domain, contents)
    {
    }

    bool apply(const TRKeyPathEdit &edit, QString *error)
    {
        m_error = error;
        if (edit.names.isEmpty())
            return fail(trText("The key path is empty"));
        switch (edit.kind) {
        case TRKeyPathEdit::Kind::Write:
            return write(edit.names, edit.value);
        case TRKeyPathEdit::Kind::Delete:
            return remove(edit.names);
        case TRKeyPathEdit::Kind::Rename:
            return rename(edit.names, edit.newName);
        case TRKeyPathEdit::Kind::ArrayAdd:
        case TRKeyPathEdit::Kind::DictAdd:
            return add(edit);
        }
        return false;
    }

    TRValue contents() const { return m_controller.databaseRepresentation(); }

private:
    bool fail(const QString &message)
    {
        if (m_error)
            *m_error = message;
        return false;
    }
    bool noKey(const QStringList &names)
    {
        return fail(trFormat(trText("No key %@ in %@"), {trKeyPath(names), m_domain}));
    }

    // The compound node that holds the last name, made on the way where dictionaries are missing.
    TRKeyPtr parentFor(const QStringList &names, bool make)
    {
        TRKeyPtr node = m_controller.rootKey();
        for (qsizetype i = 0; i + 1 < names.size(); ++i) {
            const QStringList reached = names.mid(0, i + 1);
            TRKeyPtr child = childOf(node, names[i]);
            if (!child) {
                const bool appends = node->isArray() && positionIn(names[i]) == node->count();
                if (!make || (!node->isDictionary() && !appends)) {
                    noKey(reached);
                    return nullptr;
                }
                child = TRKey::create(nameForNewChild(*node, names[i]), TRValue::fromDictionary({}), node,
                                      m_domain);
                if (!child || !m_controller.insertKey(child)) {
                    noKey(reached);
                    return nullptr;
                }
            } else if (!child->isCompound()) {
                fail(trFormat(trText("%@ in %@ is neither a list nor a dictionary"),
                              {trKeyPath(reached), m_domain}));
                return nullptr;
            }
            node = std::move(child);
        }
        return node;
    }

    // Puts the value under the last name of the parent: in the place of the key there, or added.
    bool put(const TRKeyPtr &parent, const QStringList &names, const TRValue &value)
    {
        const QString &name = names.last();
        if (const TRKeyPtr old = childOf(parent, name)) {
            const TRKeyPtr replacement = TRKey::create(old->name(), value, parent, m_domain);
            return replacement ? m_controller.replaceKey(old, replacement) || noKey(names) : tooLarge(names);
        }
        if (parent->isArray() && positionIn(name) != parent->count())
            return noKey(names);
        const TRKeyPtr key = TRKey::create(nameForNewChild(*parent, name), value, parent, m_domain);
        return key ? m_controller.insertKey(key) || noKey(names) : tooLarge(names);
    }
    bool tooLarge(const QStringList &names)
    {
        return fail(trFormat(trText("The value for %@ in %@ is too large"), {trKeyPath(names), m_domain}));
    }

    bool write(const QStringList &names, const TRValue &value)
    {
        const TRKeyPtr parent = parentFor(names, true);
        return parent && put(parent, names, value);
    }

    bool remove(const QStringList &names)
    {
        const TRKeyPtr parent = parentFor(names, false);
        if (!parent)
            return false;
        const TRKeyPtr key = childOf(parent, names.last());
        return key ? m_controller.takeKey(key) : noKey(names);
    }

    bool rename(const QStringList &names, const QString &newName)
    {
        const TRKeyPtr parent = parentFor(names, false);
        if (!parent)
            return false;
        const TRKeyPtr key = childOf(parent, names.last());
        if (!key)
            return noKey(names);
        if (!parent->isDictionary())
            return fail(trFormat(trText("%@ in %@ is a list element: it has a position, not a name"),
                                 {trKeyPath(names), m_domain}));
        if (newName == names.last())
            return true;
        if (newName.isEmpty())
            return fail(trText("The key name cannot be empty"));
        if (parent->keyExists(TRValue::fromString(newName)))
            return fail(trFormat(trText("Key exists: %@"), {newName}));
        const TRKeyPtr renamed =
            TRKey::create(TRValue::fromString(newName), key->databaseRepresentation(), parent, m_domain);
        return renamed && m_controller.replaceKey(key, renamed);
    }

    bool add(const TRKeyPathEdit &edit)
    {
        const bool toList = edit.kind == TRKeyPathEdit::Kind::ArrayAdd;
        const TRKeyPtr parent = parentFor(edit.names, true);
        if (!parent)
            return false;
        TRKeyPtr target = childOf(parent, edit.names.last());
        if (!target) {
            if (!put(parent, edit.names, toList ? TRValue::fromArray({}) : TRValue::fromDictionary({})))
                return false;
            target = childOf(parent, edit.names.last());
        }
        if (!target || (toList ? !target->isArray() : !target->isDictionary()))
            return fail(
                trFormat(toList ? trText("%@ in %@ is not a list") : trText("%@ in %@ is not a dictionary"),
                         {trKeyPath(edit.names), m_domain}));
        if (toList) {
            for (const TRValue &element : edit.value.toArray()) {
                if (!put(target, edit.names + QStringList{QString::number(target->count())}, element))
                    return false;
            }
            return true;
        }
        for (const auto &[name, value] : edit.value.toDictionary()) {
            if (!put(target, edit.names + QStringList{name}, value))
                return false;
        }
        return true;
    }

    QString m_domain;
    TRDomainController m_controller;
    QString *m_error = nullptr;
};

} // namespace

TRKeyPtr trKeyAtPath(const TRKeyPtr &root, const QStringList &names)
{
    TRKeyPtr node = root;
    for (const QString &name : names) {
        if (!node)
            return nullptr;
        node = childOf(node, name);
    }
    return names.isEmpty() ? nullptr : node;
}

bool trApplyKeyPathEdit(const QString &domain, const TRValue &contents, const TRKeyPathEdit &edit,
                        TRValue *result, QString *error)
{
    Editor editor(domain, contents.isDictionary() ? contents : TRValue::fromDictionary({}));
    if (!editor.apply(edit, error))
        return false;
    *result = editor.contents();
    return true;
}
