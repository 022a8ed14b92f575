// The key side of the main interface: the new-key sheet and the four value sheets with their editors,
// the Key menu, the key outline's double-click, keys and context menu, and the key search field.
#include "TRAppController.h"
#include "TRAsciiHexConverter.h"
#include "TRDateEditor.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRNumberController.h"
#include "TRStringEditor.h"
#include "TRTokenField.h"
#include "ui_TRDataValueSheet.h"
#include "ui_TRDateValueSheet.h"
#include "ui_TRMainWindow.h"
#include "ui_TRNewKeySheet.h"
#include "ui_TRNumberValueSheet.h"
#include "ui_TRStringValueSheet.h"

#include <QButtonGroup>
#include <QItemSelectionModel>
#include <QShortcut>

namespace {

// The confirming and cancelling buttons of a sheet run the controller's sheet commands.
void connectSheetButtons(QDialogButtonBox *buttons, TRAppController &owner)
{
    QObject::connect(buttons, &QDialogButtonBox::accepted, &owner, &TRAppController::sheetOKClicked);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &owner, &TRAppController::sheetCancelClicked);
}

} // namespace

void TRMainInterface::loadKeySheets(TRAppController &owner)
{
    TRAppController::Sheets &sheets = owner.sheets();
    QWidget *window = m_mainWindow.get();

    auto *newKeySheet = new QDialog(window);
    Ui::TRNewKeySheet newKeyForm;
    newKeyForm.setupUi(newKeySheet);
    connectSheetButtons(newKeyForm.newKeyButtons, owner);
    sheets.newKeySheet = newKeySheet;
    sheets.newKeyNameEdit = newKeyForm.newKeyNameEdit;
    sheets.newKeyTypePopup = newKeyForm.newKeyTypePopup;

    auto *numberSheet = new QDialog(window);
    Ui::TRNumberValueSheet numberForm;
    numberForm.setupUi(numberSheet);
    connectSheetButtons(numberForm.numberValueButtons, owner);
    auto *booleanValue = new QButtonGroup(numberSheet);
    booleanValue->addButton(numberForm.booleanYesButton, 0);
    booleanValue->addButton(numberForm.booleanNoButton, 1);
    sheets.numberValueSheet = numberSheet;
    sheets.numberController = new TRNumberController(numberForm.numberTypeTabs, numberForm.integerValueEdit,
                                                     numberForm.realValueEdit, booleanValue, numberSheet);

    auto *dateSheet = new QDialog(window);
    Ui::TRDateValueSheet dateForm;
    dateForm.setupUi(dateSheet);
    connectSheetButtons(dateForm.dateValueButtons, owner);
    sheets.dateValueSheet = dateSheet;
    sheets.dateValueEdit = dateForm.dateValueEdit;

    auto *dataSheet = new QDialog(window);
    Ui::TRDataValueSheet dataForm;
    dataForm.setupUi(dataSheet);
    connectSheetButtons(dataForm.dataValueButtons, owner);
    sheets.dataValueSheet = dataSheet;
    sheets.dataValueConverter = new TRAsciiHexConverter(dataForm.dataValueHexEdit, dataForm.dataValueDecEdit,
                                                        dataForm.dataValueAsciiEdit, dataSheet);

    auto *stringSheet = new QDialog(window);
    Ui::TRStringValueSheet stringForm;
    stringForm.setupUi(stringSheet);
    connectSheetButtons(stringForm.stringValueButtons, owner);
    // Return belongs to the text; Ctrl+Return confirms.
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *confirm = new QShortcut(keys, stringSheet);
        connect(confirm, &QShortcut::activated, &owner, &TRAppController::sheetOKClicked);
    }
    sheets.stringValueSheet = stringSheet;
    sheets.stringValueEdit = stringForm.stringValueEdit;
}

void TRMainInterface::connectKeyCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRAppController *controller = &m_controller;

    form.actionNewKey->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    form.actionFindKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(form.actionNewKey, &QAction::triggered, controller, &TRAppController::newKey);
    connect(form.actionEditKey, &QAction::triggered, controller, &TRAppController::keyDoubleClicked);
    connect(form.actionDeleteKey, &QAction::triggered, controller, &TRAppController::deleteKey);
    connect(form.actionFindKey, &QAction::triggered, controller, &TRAppController::focusKeySearch);
    connect(form.keySearchField, &QLineEdit::returnPressed, controller, &TRAppController::searchKey);

    // In the outline: a double-click, Return or Enter edits the selected key (or opens and closes an
    // array or a dictionary); Delete asks to delete it.
    QTreeView *outline = form.domainContentsView;
    connect(outline, &QTreeView::doubleClicked, controller, &TRAppController::keyDoubleClicked);
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto *edit = new QShortcut(keys, outline, nullptr, nullptr, Qt::WidgetShortcut);
        connect(edit, &QShortcut::activated, controller, &TRAppController::keyDoubleClicked);
    }
    auto *remove = new QShortcut(QKeySequence::Delete, outline, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, controller, &TRAppController::deleteKey);
    outline->setContextMenuPolicy(Qt::ActionsContextMenu);
    outline->addActions({form.actionNewKey, form.actionEditKey, form.actionDeleteKey});

    connectClipboardCommands();
    connect(controller, &TRAppController::commandsChanged, this, &TRMainInterface::updateKeyCommands);
    updateKeyCommands();
}

void TRMainInterface::updateKeyCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    QTreeView *outline = form.domainContentsView;
    // Each domain brings its own selection model: follow the one shown now.
    QItemSelectionModel *selection = outline->selectionModel();
    if (selection && !selection->property("tamrixKeyCommands").toBool()) {
        selection->setProperty("tamrixKeyCommands", true);
        connect(selection, &QItemSelectionModel::selectionChanged, this, &TRMainInterface::updateKeyCommands);
    }
    const bool domainShown = m_controller.currentDomain() != nullptr;
    const bool keySelected = domainShown && m_controller.selectedKey() != nullptr;
    form.actionNewKey->setEnabled(domainShown);
    form.actionEditKey->setEnabled(keySelected);
    form.actionDeleteKey->setEnabled(keySelected);
    form.actionFindKey->setEnabled(domainShown);
    form.keySearchField->setEnabled(domainShown);
    updateClipboardCommands();
}
