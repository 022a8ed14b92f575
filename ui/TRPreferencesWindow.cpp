#include "TRPreferencesWindow.h"

#include "TRAlert.h"
#include "TRAppController.h"
#include "TRText.h"
#include "store/TRPreferences.h"
#include "ui_TRPreferencesWindow.h"

#include <QSignalBlocker>

TRPreferencesWindow::TRPreferencesWindow(QWidget *parent)
    : QDialog(parent), m_form(std::make_unique<Ui::TRPreferencesWindow>())
{
    m_form->setupUi(this);
    setModal(false);
    // The two searches are stored as 0 (a match anywhere) or 1 (a match at the start only).
    connect(m_form->domainSearchPopup, &QComboBox::currentIndexChanged, this,
            [this](int index) { writePreference(TRAppController::kDomainSearch, index == 1, true); });
    connect(m_form->keySearchPopup, &QComboBox::currentIndexChanged, this,
            [this](int index) { writePreference(TRAppController::kKeySearch, index == 1, true); });
    connect(m_form->lookInValuesCheck, &QCheckBox::toggled, this,
            [this](bool on) { writePreference(TRAppController::kLookInValues, on, false); });
    connect(m_form->autoSaveCheck, &QCheckBox::toggled, this,
            [this](bool on) { writePreference(TRAppController::kAutoSave, on, false); });
    connect(m_form->followExternalChangesCheck, &QCheckBox::toggled, this,
            [this](bool on) { writePreference(TRAppController::kFollowExternalChanges, on, false); });
}

TRPreferencesWindow::~TRPreferencesWindow() = default;

void TRPreferencesWindow::showEvent(QShowEvent *event)
{
    readPreferences();
    QDialog::showEvent(event);
}

void TRPreferencesWindow::readPreferences()
{
    const QSignalBlocker domainSearch(m_form->domainSearchPopup);
    const QSignalBlocker keySearch(m_form->keySearchPopup);
    const QSignalBlocker lookInValues(m_form->lookInValuesCheck);
    const QSignalBlocker autoSave(m_form->autoSaveCheck);
    const QSignalBlocker followExternalChanges(m_form->followExternalChangesCheck);
    m_form->domainSearchPopup->setCurrentIndex(
        TRAppController::preferenceIsSet(TRAppController::kDomainSearch) ? 1 : 0);
    m_form->keySearchPopup->setCurrentIndex(
        TRAppController::preferenceIsSet(TRAppController::kKeySearch) ? 1 : 0);
    m_form->lookInValuesCheck->setChecked(TRAppController::preferenceIsSet(TRAppController::kLookInValues));
    m_form->autoSaveCheck->setChecked(TRAppController::preferenceIsSet(TRAppController::kAutoSave));
    m_form->followExternalChangesCheck->setChecked(
        TRAppController::preferenceIsSet(TRAppController::kFollowExternalChanges));
}

void TRPreferencesWindow::writePreference(const char *key, bool on, bool asInteger)
{
    const TRValue value = asInteger ? TRValue::fromInteger(on ? 1 : 0) : TRValue::fromBool(on);
    QString error;
    if (TRPreferences::shared().setValue(QString::fromLatin1(key), value, &error)) {
        emit preferenceChanged(QString::fromLatin1(key));
        return;
    }
    // Nothing was stored: the controls go back to what the commands will read.
    readPreferences();
    TRAlert::beginSheet(this, TRAlert::notice(trText("Cannot save the preferences"), error));
}
