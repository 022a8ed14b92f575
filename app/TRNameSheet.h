#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// A sheet that asks for one name: a prompt, a text field (object name "nameEdit") and OK and Cancel.
// Run it with TRSheetRunner; the field keeps what was typed.
class TRNameSheet final : public QDialog
{
    Q_OBJECT

public:
    explicit TRNameSheet(QWidget *parent = nullptr);

    // Sets the title, the prompt and the name shown, all of it selected.
    void prepare(const QString &title, const QString &prompt, const QString &name);
    QString name() const;

private:
    QLabel *m_prompt;
    QLineEdit *m_name;
};
