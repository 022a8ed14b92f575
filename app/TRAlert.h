#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Alerts of the application: alert sheets (window-modal, not blocking: the caller returns at once and the
// did-end operation runs on the answer), application-modal alerts and the beep. Answer codes: 1 for the
// default button (the one Return presses), 0 for the alternate button, -1 for the other button.
//
// Tests answer in advance (setNextAnswer) instead of clicking: with scripting on, no box is shown, every
// alert is recorded, and an alert without a prepared answer takes its default button.
class TRAlert final
{
public:
    static constexpr int kDefault = 1;
    static constexpr int kAlternate = 0;
    static constexpr int kOther = -1;

    struct Content
    {
        QString title;
        QString message;
        // Shown behind the box's "Show Details..." button; empty: none.
        QString detailedText;
        QString defaultButton;
        QString alternateButton; // empty: no such button
        QString otherButton;     // empty: no such button
        // The answer Escape and the window's close button give.
        int escapeCode = kDefault;
    };
    using DidEnd = std::function<void(int code)>;

    // A report with the one button "OK".
    static Content notice(const QString &title, const QString &message, const QString &detailedText = {});
    // A question with a default and an alternate button; escapeCode is the answer Escape gives.
    static Content question(const QString &title, const QString &message, const QString &defaultButton,
                            const QString &alternateButton, int escapeCode);

    // NSBeginAlertSheet: shows the alert on the window and returns at once; didEnd (may be empty) runs
    // later, on the answer, on the UI thread.
    static void beginSheet(QWidget *window, const Content &content, DidEnd didEnd = {});
    // An application-modal alert: runs a nested loop and answers the code.
    static int runModal(const Content &content);
    static void beep();

    // ---- Scripting for tests
    struct Shown
    {
        QString title;
        QString message;
        QString detailedText;
        QStringList buttons;
        bool modal = false;
    };
    static void setScripted(bool scripted);
    static bool isScripted();
    // The answer to the next alert (queued: several answers serve several alerts in order).
    static void setNextAnswer(int code);
    static QList<Shown> shownAlerts();
    static int beepCount();
    // Forgets recorded alerts, beeps and unused answers.
    static void resetScript();

private:
    static bool takeScriptedAnswer(const Content &content, bool modal, int *code);
};
