#pragma once

#include <QDialog>
#include <memory>

class QSpinBox;

namespace Ui {
class TRPreferencesWindow;
}

// The preferences window as its form describes it: the two search choices, searching in values, saving
// after every key change and following other programs' changes; and the history's bounds below them. It shows
// the stored preferences each time it is shown and writes a change to the application's domain at once, where
// the commands read it at their next use.
class TRPreferencesWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit TRPreferencesWindow(QWidget *parent = nullptr);
    ~TRPreferencesWindow() override;

    // Sets the controls from the stored preferences.
    void readPreferences();

signals:
    // A preference was stored; the key names it.
    void preferenceChanged(const QString &key);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void writePreference(const char *key, bool on, bool asInteger);
    void writeNumber(const char *key, int number);
    // The history's bounds: versions and days a domain, megabytes in all.
    void addHistoryBounds();

    std::unique_ptr<Ui::TRPreferencesWindow> m_form;
    QSpinBox *m_historyVersions = nullptr;
    QSpinBox *m_historyDays = nullptr;
    QSpinBox *m_historyMegabytes = nullptr;
};
