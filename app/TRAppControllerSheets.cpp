// The value sheets of the application controller: choosing the sheet for a key, filling its editor,
// running it and building the replacement key from what it gives back.
#include "TRAppController.h"
#include "TRAsciiHexConverter.h"
#include "TRDateEditor.h"
#include "TRNumberController.h"
#include "TRStringEditor.h"
#include "TRTokenField.h"

#include <QDialog>

QDialog *TRAppController::sheetForKey(const TRKey &key) const
{
    const TRValue &value = key.value();
    if (TRKey::isObjectNumber(value))
        return m_outlets.numberValueSheet;
    if (TRKey::isObjectDate(value))
        return m_outlets.dateValueSheet;
    if (TRKey::isObjectData(value))
        return m_outlets.dataValueSheet;
    return m_outlets.stringValueSheet;
}

int TRAppController::doEditKey()
{
    if (!m_currentKey)
        return 0;
    const TRKey &key = *m_currentKey;
    const TRValue &value = key.value();
    QDialog *sheet = sheetForKey(key);
    setCurrentSheet(sheet);
    if (sheet == m_outlets.numberValueSheet) {
        if (m_outlets.numberController)
            m_outlets.numberController->setValue(value);
    } else if (sheet == m_outlets.dateValueSheet) {
        if (m_outlets.dateValueEdit)
            m_outlets.dateValueEdit->setDateValue(value);
    } else if (sheet == m_outlets.dataValueSheet) {
        if (m_outlets.dataValueConverter)
            m_outlets.dataValueConverter->setData(value.toData());
    } else if (m_outlets.stringValueEdit) {
        m_outlets.stringValueEdit->setStringValue(value.isString() ? value.toString() : value.description());
    }
    const int code = showCurrentSheet();
    if (code != 1)
        return code;

    TRValue edited;
    if (sheet == m_outlets.numberValueSheet && m_outlets.numberController)
        edited = m_outlets.numberController->value();
    else if (sheet == m_outlets.dateValueSheet && m_outlets.dateValueEdit)
        edited = m_outlets.dateValueEdit->dateValue();
    else if (sheet == m_outlets.dataValueSheet && m_outlets.dataValueConverter)
        edited = m_outlets.dataValueConverter->data() == value.toData()
                     ? value
                     : TRValue::fromData(m_outlets.dataValueConverter->data());
    else if (m_outlets.stringValueEdit) {
        const QString text = m_outlets.stringValueEdit->stringValue();
        // A value of another kind shown as its description stays as it was unless its text was edited.
        edited = !value.isString() && text == value.description() ? value : TRValue::fromString(text);
    } else
        return 0;
    setEditedKey(TRKey::create(key.name(), edited, key.parent(), key.domain()));
    return 1;
}
