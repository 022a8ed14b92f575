#pragma once

#include <QList>
#include <QUrl>

// Opens addresses with the desktop's default handler (the web browser for http addresses) and returns
// at once; whether the handler could be started is not reported.
//
// Tests turn scripting on: nothing is opened, every address is recorded.
class TRUrlOpener final
{
public:
    static void openUrl(const QUrl &url);

    // ---- Scripting for tests
    static void setScripted(bool scripted);
    static QList<QUrl> openedUrls();
    static void resetScript();
};
