#pragma once

#include "AppTestFixture.h"
#include "TRKeyOutlineModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeView>

// The main window with helpers to reach keys by their path of names and to answer the key sheets.
class KeyTest : public AppTest
{
protected:
    QTreeView *outline() const { return windowPart<QTreeView>("domainContentsView"); }
    TRKeyOutlineModel *model() const { return qobject_cast<TRKeyOutlineModel *>(outline()->model()); }

    static QStringList keysOf(const TRValue &dictionary)
    {
        QStringList keys;
        for (qsizetype i = 0; i < dictionary.toDictionary().size(); ++i)
            keys.append(dictionary.toDictionary().keyAt(i));
        return keys;
    }
    // The shown domain's contents.
    TRValue rootValue() const { return m_controller->currentDomain()->databaseRepresentation(); }

    // The row reached by the names shown in the key column, from the top level down.
    QModelIndex indexOf(const QStringList &path) const
    {
        QModelIndex at;
        for (const QString &name : path) {
            const QModelIndexList found =
                model()->match(model()->index(0, 0, at), Qt::DisplayRole, name, 1, Qt::MatchExactly);
            if (found.isEmpty())
                return QModelIndex();
            at = found.first();
        }
        return at;
    }
    void selectKey(const QStringList &path)
    {
        const QModelIndex index = indexOf(path);
        ASSERT_TRUE(index.isValid()) << path.join(QLatin1Char('/')).toStdString();
        outline()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
        settle();
    }

    static void fillNewKey(QDialog *sheet, const QString &name, int type)
    {
        sheet->findChild<QLineEdit *>(QStringLiteral("newKeyNameEdit"))->setText(name);
        sheet->findChild<QComboBox *>(QStringLiteral("newKeyTypePopup"))->setCurrentIndex(type);
    }
    static void setString(QDialog *sheet, const QString &text)
    {
        sheet->findChild<QPlainTextEdit *>(QStringLiteral("stringValueEdit"))->setPlainText(text);
    }
    static void setInteger(QDialog *sheet, const QString &text)
    {
        auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("numberTypeTabs"));
        tabs->setCurrentWidget(sheet->findChild<QWidget *>(QStringLiteral("integerPage")));
        sheet->findChild<QLineEdit *>(QStringLiteral("integerValueEdit"))->setText(text);
    }

    // New key of that type (the new-key sheet's index); a leaf kind's value sheet is confirmed after the
    // filler has run.
    void newKey(const QString &name, int type, const TRSheetRunner::Filler &value = {})
    {
        TRSheetRunner::setNextAnswer(1, [name, type](QDialog *sheet) { fillNewKey(sheet, name, type); });
        if (type < 4)
            TRSheetRunner::setNextAnswer(1, value);
        trigger("actionNewKey");
    }
    // New key with a name the command refuses: no value sheet follows.
    void newKeyNamed(const QString &name)
    {
        TRSheetRunner::setNextAnswer(1, [name](QDialog *sheet) { fillNewKey(sheet, name, 0); });
        trigger("actionNewKey");
    }
    void deleteSelectedKey()
    {
        TRAlert::setNextAnswer(TRAlert::kAlternate);
        trigger("actionDeleteKey");
        settle();
    }
    void searchKeys(const QString &text)
    {
        QLineEdit *field = windowPart<QLineEdit>("keySearchField");
        field->setText(text);
        emit field->returnPressed();
        settle();
    }
};
