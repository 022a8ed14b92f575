// The value sheets of the application controller: choosing the sheet for a key, filling its editor,
// running it and building the replacement key from what it gives back.
#include "TRAppController.h"
#include "TRAsciiHexConverter.h"
#include "TRDateEditor.h"
#include "TRNumberController.h"
#include "TRStringEditor.h"
#include "TRText.h"
#include "TRTokenField.h"

#include <QDialog>

QDialog *TRAppController::sheetForKey(const TRKey &key) const
{
    const TRValue &value = key.value();
    if (TRKey::isObjectNumber(value))
        return m_sheets.numberValueSheet;
    if (TRKey::isObjectDate(value))
        return m_sheets.dateValueSheet;
    if (TRKey::isObjectData(value))
        return m_sheets.dataValueSheet;
    return m_sheets.stringValueSheet;
}

int TRAppController::doEditKey()
{
    if (!m_currentKey)
        return 0;
    const TRKey &key = *m_currentKey;
    const TRValue &value = key.value();
    QDialog *sheet = sheetForKey(key);
    setCurrentSheet(sheet);
    // Each sheet opens with the field a user changes focused and its text selected: typing replaces the
    // value.
    if (sheet == m_sheets.numberValueSheet) {
        if (m_sheets.numberController) {
            m_sheets.numberController->setValue(value);
            m_sheets.numberController->beginEditing();
        }
    } else if (sheet == m_sheets.dateValueSheet) {
        if (m_sheets.dateValueEdit) {
            m_sheets.dateValueEdit->setDateValue(value);
            m_sheets.dateValueEdit->beginEditing();
        }
    } else if (sheet == m_sheets.dataValueSheet) {
        if (m_sheets.dataValueConverter) {
            m_sheets.dataValueConverter->setData(value.toData());
            m_sheets.dataValueConverter->beginEditing();
        }
    } else if (m_sheets.stringValueEdit) {
        m_sheets.stringValueEdit->setStringValue(value.isString() ? value.toString() : value.description());
        m_sheets.stringValueEdit->beginEditing();
    }
    // The title names the key and its domain: several sheets a minute look alike.
    if (sheet)
        sheet->setWindowTitle(trFormat(trText("Edit “%@” in %@"), {keyPath(key), key.domain()}));
    const int code = showCurrentSheet();
    if (code != 1)
        return code;

    TRValue edited;
    if (sheet == m_sheets.numberValueSheet && m_sheets.numberController)
        edited = m_sheets.numberController->value();
    else if (sheet == m_sheets.dateValueSheet && m_sheets.dateValueEdit)
        edited = m_sheets.dateValueEdit->dateValue();
    else if (sheet == m_sheets.dataValueSheet && m_sheets.dataValueConverter)
        edited = m_sheets.dataValueConverter->data() == value.toData()
                     ? value
                     : TRValue::fromData(m_sheets.dataValueConverter->data());
    else if (m_sheets.stringValueEdit) {
        const QString text = m_sheets.stringValueEdit->stringValue();
        // A value of another kind shown as its description stays as it was unless its text was edited.
        edited = !value.isString() && text == value.description() ? value : TRValue::fromString(text);
    } else
        return 0;
    setEditedKey(TRKey::create(key.name(), edited, key.parent(), key.domain()));
    return 1;
}
