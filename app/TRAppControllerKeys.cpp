// Key commands of the application controller: the three primitives that change a key tree and undo one
// another (addKey, removeKey, replaceKeys), New key, Edit key, Delete key and the key search.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDateEditor.h"
#include "TRDomainListModel.h"
#include "TRKeyMatcher.h"
#include "TRKeyOutlineModel.h"
#include "TRMainView.h"
#include "TRText.h"
#include "TRUndoManager.h"

#include <QComboBox>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLineEdit>

namespace {

// The first value of a new key, by the index of the type chosen in the new-key sheet.
TRValue firstValueForType(int index)
{
    switch (index) {
    case 1:
        return TRValue::fromInteger(0);
    case 2:
        return TRValue::fromDate(TRDateEditor::dateFromDateTime(QDateTime::currentDateTimeUtc()));
    case 3:
        return TRValue::fromData(QByteArray());
    case 4:
        return TRValue::fromArray({});
    case 5:
        return TRValue::fromDictionary({});
    default:
        return TRValue::fromString(QString());
    }
}

} // namespace

void TRAppController::addKey(const TRKeyPtr &key)
{
    m_keyCommands.addKey(key);
}

void TRAppController::removeKey(const TRKeyPtr &key)
{
    m_keyCommands.removeKey(key);
}

void TRAppController::replaceKeys(const QList<TRKeyPtr> &pair, const QString &actionName)
{
    if (pair.size() == 2)
        m_keyCommands.replaceKey(pair[0], pair[1], actionName);
}

void TRAppController::keysChanged()
{
    reloadDomainList();
}

bool TRAppController::acceptsKeyName(const TRKey &parent, const QString &name)
{
    if (name.isEmpty()) {
        TRAlert::beginSheet(mainWindow(),
                            TRAlert::notice(trText("Empty key name"),
                                            trText("The key name cannot be empty in the current dictionary "
                                                   "context. Please enter a valid key name.")));
        return false;
    }
    if (parent.isDictionary() && parent.keyExists(TRValue::fromString(name))) {
        TRAlert::beginSheet(
            mainWindow(),
            TRAlert::notice(trText("Key exists"),
                            trFormat(trText("The name %@ already exists in the current dictionary context. "
                                            "Please use a different key name."),
                                     {name})));
        return false;
    }
    return true;
}

TRKeyPtr TRAppController::selectedKey() const
{
    const TRKeyOutlineModel *model = m_view ? m_view->keyOutlineModel() : nullptr;
    if (!model)
        return nullptr;
    QModelIndex row = m_view->currentKeyRow();
    if (!row.isValid() || !m_view->isKeyRowSelected(row)) {
        const QModelIndexList rows = m_view->selectedKeyRows();
        row = rows.isEmpty() ? QModelIndex() : rows.first();
    }
    TRKey *key = model->keyForIndex(row);
    return key ? key->shared_from_this() : nullptr;
}

TRKeyPtr TRAppController::parentForNewKeys(TRDomainController *domain) const
{
    TRKeyPtr parent = domain->rootKey();
    if (domain->count() > 0) {
        // With no row selected the key goes to the top level.
        if (const TRKeyPtr selected = selectedKey()) {
            const auto *model = domain->outlineModel();
            if (selected->isCompound() && m_view && m_view->isKeyExpanded(model->indexForKey(selected.get())))
                parent = selected;
            else if (selected->parent())
                parent = selected->parent();
        }
    }
    return parent;
}

void TRAppController::newKey()
{
    TRDomainController *domain = currentDomain();
    if (!domain)
        return;
    const TRKeyPtr parent = parentForNewKeys(domain);
    QLineEdit *nameEdit = m_sheets.newKeyNameEdit;
    if (!nameEdit)
        return;
    if (parent->isArray()) {
        nameEdit->setText(trFormat(trText("Item #%d"), {QString::number(parent->count())}));
        nameEdit->setEnabled(false);
        // A list element has no name to type: the type comes first.
        if (m_sheets.newKeyTypePopup)
            m_sheets.newKeyTypePopup->setFocus(Qt::OtherFocusReason);
    } else {
        nameEdit->setText(trText("new key"));
        nameEdit->setEnabled(true);
        nameEdit->setFocus(Qt::OtherFocusReason);
        nameEdit->selectAll();
    }
    setCurrentSheet(m_sheets.newKeySheet);
    if (showCurrentSheet() == 0)
        return;

    const QString name = nameEdit->text();
    if (!acceptsKeyName(*parent, name))
        return;
    const int type = m_sheets.newKeyTypePopup ? m_sheets.newKeyTypePopup->currentIndex() : 0;
    const TRKeyPtr key =
        TRKey::create(TRValue::fromString(name), firstValueForType(type), parent, domain->name());
    setCurrentKey(key);
    if (key->isCompound()) {
        addKey(key);
        return;
    }
    if (doEditKey() == 0)
        return;
    addKey(m_editedKey);
}

void TRAppController::keyDoubleClicked()
{
    const TRKeyPtr key = selectedKey();
    if (!key)
        return;
    if (key->isCompound()) {
        const QModelIndex index = m_view->keyOutlineModel()->indexForKey(key.get());
        m_view->setKeyExpanded(index, !m_view->isKeyExpanded(index));
        return;
    }
    setCurrentKey(key);
    if (doEditKey() == 0)
        return;
    replaceKeys({m_currentKey, m_editedKey});
}

void TRAppController::deleteKey()
{
    TRDomainController *domain = currentDomain();
    if (m_domainList.isEmpty() || !domain || domain->count() <= 0)
        return;
    if (selectedKeys().size() > 1) {
        deleteSelectedKeys();
        return;
    }
    setCurrentKey(selectedKey());
    const TRAlert::Content alert =
        TRAlert::question(trText("About to delete a key"),
                          trText("The currently selected key is about to be deleted. Do you confirm?"),
                          trText("No"), trText("Yes"), TRAlert::kDefault);
    TRAlert::beginSheet(mainWindow(), alert, [this](int code) { doRemoveKey(code); });
}

void TRAppController::doRemoveKey(int returnCode)
{
    if (returnCode != TRAlert::kAlternate || !m_currentKey)
        return;
    removeKey(m_currentKey);
}

void TRAppController::searchKey()
{
    const QString text = m_view ? m_view->keySearchText() : QString();
    const TRKeyOutlineModel *model = m_view ? m_view->keyOutlineModel() : nullptr;
    if (text.isEmpty() || !model)
        return;
    // Rows are the rows now shown, in display order; fewer than two are not searched.
    const QModelIndex top = model->index(0, 0);
    if (!top.isValid() || !m_view->keyRowBelow(top).isValid())
        return;
    const bool prefixOnly = preferenceIsSet(kKeySearch);
    const bool lookInValues = preferenceIsSet(kLookInValues);
    const QModelIndexList selection = m_view->selectedKeyRows();
    const QModelIndex selected = selection.isEmpty() ? QModelIndex() : selection.first();

    const TRKeyMatcher matcher(text, prefixOnly, lookInValues);
    // Every row but the selected one, once, starting after it and wrapping to the top. A selection the
    // outline does not show (inside a collapsed row) counts as none.
    QModelIndex row = selected.isValid() ? m_view->keyRowBelow(selected) : QModelIndex();
    bool wrapped = false;
    if (!row.isValid()) {
        row = top;
        wrapped = true;
    }
    while (row.isValid() && row != selected) {
        if (matcher.matches(*model->keyForIndex(row))) {
            m_view->selectKeyRows(QItemSelection(row, row), row);
            m_view->focusKeySearch(false);
            return;
        }
        row = m_view->keyRowBelow(row);
        if (!row.isValid() && !wrapped) {
            row = top;
            wrapped = true;
        }
    }
}

void TRAppController::focusKeySearch()
{
    if (m_view)
        m_view->focusKeySearch(true);
}
