#include "TRUrlOpener.h"

#include <QDesktopServices>

namespace {

struct Script
{
    bool scripted = false;
    QList<QUrl> opened;
};

Script &script()
{
    static Script instance;
    return instance;
}

} // namespace

void TRUrlOpener::openUrl(const QUrl &url)
{
    Script &s = script();
    if (s.scripted) {
        s.opened.append(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void TRUrlOpener::setScripted(bool scripted)
{
    script().scripted = scripted;
}

QList<QUrl> TRUrlOpener::openedUrls()
{
    return script().opened;
}

void TRUrlOpener::resetScript()
{
    script().opened.clear();
}
