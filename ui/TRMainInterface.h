#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QDialog;
class TRAppController;
class TRFindAllPanel;
class TRHistoryPanel;
class TRRecentChangesPanel;
class TRMainWindow;
class TRMainWindowView;

// Loads the application's interface for its controller: the main window, then (when the controller asks
// during start-up) the "Sheets" and "Preferences" forms, and connects their controls and commands.
class TRMainInterface final : public QObject
{
    Q_OBJECT

public:
    // Builds the main window, connects it and starts the controller up (awakeFromNib).
    explicit TRMainInterface(TRAppController &controller, QObject *parent = nullptr);
    ~TRMainInterface() override;

    TRMainWindow *mainWindow() const { return m_mainWindow.get(); }
    // Shows the main window. With TAMRIX_QUIT_WHEN_IDLE=1 the application then quits at its first idle
    // moment (benchmarks and tests).
    void show();

private:
    void loadInterface(const QString &name, TRAppController &owner);
    void loadSheets(TRAppController &owner);
    void loadPreferences(TRAppController &owner);
    void connectCommands();
    void updateCommands();
    // Key commands, the new-key sheet and the value sheets (TRMainInterfaceKeys.cpp).
    void loadKeySheets(TRAppController &owner);
    void connectKeyCommands();
    void updateKeyCommands();
    // Cut, Copy, Paste, Duplicate and drag and drop in the key outline (TRMainInterfaceClipboard.cpp).
    void connectClipboardCommands();
    void updateClipboardCommands();
    // Rename key, Change type, Copy key path, the key status, the property-list exchange, files dropped
    // on the window and Find in All Domains (TRMainInterfacePower.cpp).
    void connectPowerCommands();
    void updatePowerCommands();
    // Go to Key, Back and Forward (TRMainInterfaceNavigation.cpp).
    void connectNavigationCommands();
    void updateNavigationCommands();
    // History… and Recent Changes… (TRMainInterfaceHistory.cpp).
    void connectHistoryCommands();
    void updateHistoryCommands();

    TRAppController &m_controller;
    std::unique_ptr<TRMainWindow> m_mainWindow;
    std::unique_ptr<TRMainWindowView> m_view;
    QPointer<TRFindAllPanel> m_findAllPanel; // made on first use, owned by the main window
    QPointer<TRHistoryPanel> m_historyPanel; // the same
    QPointer<TRRecentChangesPanel> m_recentChangesPanel;
    // What the Go to Key field last said of a path that names nothing.
    QString m_goToKeyMessage;
};
