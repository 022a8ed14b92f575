#include "TRPreferencesWindow.h"

#include "TRAlert.h"
#include "TRAppController.h"
#include "TRText.h"
#include "store/TRPreferences.h"
#include "ui_TRPreferencesWindow.h"

#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

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
    addHistoryBounds();
}

void TRPreferencesWindow::addHistoryBounds()
{
    auto *form = qobject_cast<QFormLayout *>(layout());
    if (!form)
        return;
    const struct
    {
        QSpinBox **box;
        const char *key;
        const char *objectName;
        QString label;
        QString accessibleName;
        int maximum;
    } bounds[] = {
        {&m_historyVersions, TRAppController::kHistoryVersions, "historyVersionsBox",
         trText("History: &versions of each domain:"), trText("Versions kept of each domain"), 100000},
        {&m_historyDays, TRAppController::kHistoryDays, "historyDaysBox", trText("History: da&ys kept:"),
         trText("Days the history keeps a version"), 36500},
        {&m_historyMegabytes, TRAppController::kHistoryMegabytes, "historyMegabytesBox",
         trText("History: &megabytes in all:"), trText("Megabytes the whole history may take"), 1000000},
    };
    for (const auto &bound : bounds) {
        auto *box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(bound.objectName));
        box->setRange(1, bound.maximum);
        box->setAccessibleName(bound.accessibleName);
        auto *label = new QLabel(bound.label, this);
        label->setBuddy(box);
        form->addRow(label, box);
        *bound.box = box;
        // Written when the user is done with the number, not at every digit typed.
        const char *key = bound.key;
        connect(box, &QSpinBox::editingFinished, this, [this, box, key] { writeNumber(key, box->value()); });
    }
}

void TRPreferencesWindow::writeNumber(const char *key, int number)
{
    const TRValue stored = TRPreferences::shared().value(QString::fromLatin1(key));
    if (stored.isInteger() && stored.toInteger() == number)
        return;
    QString error;
    if (TRPreferences::shared().setValue(QString::fromLatin1(key), TRValue::fromInteger(number), &error)) {
        emit preferenceChanged(QString::fromLatin1(key));
        return;
    }
    readPreferences();
    TRAlert::beginSheet(this, TRAlert::notice(trText("Cannot save the preferences"), error));
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
    if (m_historyVersions) {
        const TRDomainHistory::Limits limits = TRAppController::historyLimits();
        const QSignalBlocker versions(m_historyVersions);
        const QSignalBlocker days(m_historyDays);
        const QSignalBlocker megabytes(m_historyMegabytes);
        m_historyVersions->setValue(limits.versionsPerDomain);
        m_historyDays->setValue(limits.daysPerDomain);
        m_historyMegabytes->setValue(int(limits.bytesInAll >> 20));
    }
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
