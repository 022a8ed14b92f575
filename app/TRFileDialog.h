#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// File panels of the application: a save or open dialog begun as a sheet on the main window
// (window-modal, not blocking). The caller returns at once; the did-end handler runs on the answer with
// code 1 and the chosen file's full path, or code 0 when the user cancelled.
//
// Tests choose in advance (setNextFileName, setNextCancel) instead: with scripting on, no dialog is
// shown, every panel is recorded, and a panel without a prepared answer is cancelled.
class TRFileDialog final
{
public:
    static constexpr int kOK = 1;
    static constexpr int kCancel = 0;

    enum class Kind
    {
        Save,
        Open
    };
    struct Settings
    {
        Kind kind = Kind::Save;
        QString title;
        QString prompt;         // the accepting button
        QString nameFieldLabel; // the label of the file-name field
        QString defaultSuffix;  // added to a name typed without one; empty: none
        QStringList nameFilters;
    };
    using DidEnd = std::function<void(int code, const QString &path)>;
    // Also told which of the name filters was chosen (its position; 0 when cancelled).
    using FilteredDidEnd = std::function<void(int code, const QString &path, int nameFilter)>;

    static void beginSheet(QWidget *window, const Settings &settings, DidEnd didEnd);
    static void beginFilteredSheet(QWidget *window, const Settings &settings, FilteredDidEnd didEnd);

    // ---- Scripting for tests
    static void setScripted(bool scripted);
    static bool isScripted();
    // The answer to the next panel (queued: several answers serve several panels in order). A relative
    // name is taken as the dialog would take it: in the current folder, with the default suffix added
    // when it has none.
    static void setNextFileName(const QString &path, int nameFilter = 0);
    static void setNextCancel();
    static QList<Settings> shownPanels();
    // Forgets recorded panels and unused answers.
    static void resetScript();
};
