#include "TRMainWindow.h"

#include "ui_TRMainWindow.h"

#include <QHeaderView>

TRMainWindow::TRMainWindow(QWidget *parent)
    : QMainWindow(parent), m_form(std::make_unique<Ui::TRMainWindow>())
{
    m_form->setupUi(this);

    m_form->actionNewDomain->setShortcut(QKeySequence::New);
    m_form->actionSaveDomain->setShortcut(QKeySequence::Save);
    m_form->actionSaveAllDomains->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    m_form->actionReloadDomain->setShortcut(QKeySequence::Refresh);
    m_form->actionReloadAllDomains->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    m_form->actionQuit->setShortcut(QKeySequence::Quit);
    m_form->actionUndo->setShortcut(QKeySequence::Undo);
    m_form->actionRedo->setShortcut(QKeySequence::Redo);
    m_form->actionFindDomain->setShortcut(QKeySequence::Find);
    m_form->actionPreferences->setShortcut(QKeySequence::Preferences);
    m_form->actionUndo->setEnabled(false);
    m_form->actionRedo->setEnabled(false);

    // The splitter gives the key outline the larger share.
    m_form->splitter->setStretchFactor(0, 2);
    m_form->splitter->setStretchFactor(1, 3);
    m_form->splitter->setSizes({360, 600});
}

TRMainWindow::~TRMainWindow() = default;
