// Rename key, Copy key path and the selected key's status line.
#include "TRAppController.h"
#include "TRKeyOutlineModel.h"
#include "TRKeyPath.h"
#include "TRNameSheet.h"
#include "TRSheetRunner.h"
#include "TRText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// The name a key has in its parent as the path shows it: a list element's position, a dictionary key.
QString pathComponent(const TRKey &key, const TRKey &parent)
{
    if (parent.isArray()) {
        if (const int row = parent.rowOfChild(&key); row >= 0)
            return QString::number(row);
    }
    return key.name().isString() ? key.name().toString() : key.name().description();
}

} // namespace

QString TRAppController::keyPath(const QStringList &names)
{
    return trKeyPath(names);
}

QString TRAppController::keyPath(const TRKey &key)
{
    QStringList names;
    const TRKey *node = &key;
    for (TRKeyPtr parent = key.parent(); parent; node = parent.get(), parent = parent->parent())
        names.prepend(pathComponent(*node, *parent));
    return keyPath(names);
}

QString TRAppController::selectedKeyStatus() const
{
    const TRKeyPtr key = selectedKey();
    if (!key)
        return QString();
    QStringList parts{keyPath(*key), key->typeName()};
    if (key->isCompound())
        parts.append(key->valueDescription());
    else if (key->value().isString())
        parts.append(trFormat(trText("%d characters"), {QString::number(key->value().toString().size())}));
    else if (key->value().isData())
        parts.append(trFormat(trText("%d bytes"), {QString::number(key->value().toData().size())}));
    return parts.join(QStringLiteral(" \u00b7 "));
}

void TRAppController::copyKeyPath()
{
    if (const TRKeyPtr key = selectedKey())
        QGuiApplication::clipboard()->setText(keyPath(*key));
}

bool TRAppController::canRenameSelectedKey() const
{
    const TRKeyPtr key = selectedKey();
    const TRKeyPtr parent = key ? key->parent() : nullptr;
    return parent && parent->isDictionary();
}

TRNameSheet *TRAppController::nameSheet()
{
    if (!m_nameSheet)
        m_nameSheet = new TRNameSheet(mainWindow());
    return m_nameSheet;
}

void TRAppController::renameKey()
{
    if (!canRenameSelectedKey())
        return;
    const TRKeyPtr key = selectedKey();
    const TRKeyPtr parent = key->parent();
    const QString oldName = key->nameDescription();
    TRNameSheet *sheet = nameSheet();
    sheet->prepare(trText("Rename Key"), trText("New name of the key:"), oldName);
    setCurrentKey(key);
    if (TRSheetRunner::run(sheet) == 0)
        return;
    const QString name = sheet->name();
    if (name == oldName || !acceptsKeyName(*parent, name))
        return;
    // The new node is built from the old one's value: its children are new nodes too, so the old subtree
    // stays whole for the undo step that brings it back.
    const TRKeyPtr renamed =
        TRKey::create(TRValue::fromString(name), key->databaseRepresentation(), parent, key->domain());
    if (!renamed)
        return;
    replaceKeys({key, renamed}, trText("Rename key"));
}
