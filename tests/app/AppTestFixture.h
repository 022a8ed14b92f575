#pragma once

#include "TRAlert.h"
#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRSheetRunner.h"
#include "TRValue.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

class QAction;

// A string value, from text or from UTF-8.
inline TRValue str(const QString &text)
{
    return TRValue::fromString(text);
}
inline TRValue str(const char *utf8)
{
    return TRValue::fromString(QString::fromUtf8(utf8));
}

// Builds the real main window over a private defaults folder that every test starts empty. Alerts and
// sheets are answered through their seams; nothing is shown.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder the shared store works on.
    static QString storeFolder();
    static QString domainFile(const QString &name);
    // Writes a domain straight into the store, as another program would.
    static void storeDomain(const QString &name, const TRValue &contents);
    static TRValue storedDomain(const QString &name);
    static bool storeHas(const QString &name);
    // A dictionary of string keys k0, k1, ... with string values.
    static TRValue dictionaryOf(int keys);
    // Writes the domain into the store, starts the window and shows the domain.
    void startShowing(const QString &name, const TRValue &contents);

    // Whether the next start() watches the store (FollowExternalChanges as registered, not stored). Off
    // unless a test turns it on: the other suites write the store behind the window's back on purpose.
    static void setFollowing(bool follow);
    void start();
    void stop();
    // Runs the deferred work (the answers of alert sheets).
    static void settle();
    QAction *action(const char *objectName) const;
    void trigger(const char *objectName);
    // Runs New domain with the name typed into the sheet (code 1) or cancels (code 0).
    void newDomain(const QString &name, int code = 1);

    TRMainWindow *mainWindow() const { return m_interface->mainWindow(); }
    // A widget of the main window by its object name (the form's names).
    template<class Widget>
    Widget *windowPart(const char *objectName) const
    {
        return mainWindow()->findChild<Widget *>(QString::fromLatin1(objectName));
    }

    QStringList domainNames() const;
    QString cell(int row, const QString &identifier) const;
    int selectedRow() const;
    void selectRow(int row);
    void selectDomain(const QString &name) { selectRow(domainNames().indexOf(name)); }
    // Top-level key names the outline shows; an empty list when it shows no domain.
    QStringList outlineRows() const;
    bool outlineHasModel() const;
    QStringList undoNames() const;
    QStringList redoNames() const;
    QStringList alertTitles() const;
    TRDomainController *domain(const QString &name) const { return m_controller->domainForName(name); }
    // The domain's contents as the window holds them.
    TRValue contents(const QString &name) const { return domain(name)->databaseRepresentation(); }

    std::unique_ptr<TRAppController> m_controller;
    std::unique_ptr<TRMainInterface> m_interface;
};
