#include "TRNameSheet.h"

#include "TRText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TRNameSheet::TRNameSheet(QWidget *parent)
    : QDialog(parent), m_prompt(new QLabel(this)), m_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("nameSheet"));
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_prompt->setBuddy(m_name);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_name);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void TRNameSheet::prepare(const QString &title, const QString &prompt, const QString &name)
{
    setWindowTitle(title);
    m_prompt->setText(prompt);
    m_name->setAccessibleName(prompt);
    m_name->setText(name);
    m_name->selectAll();
    m_name->setFocus(Qt::OtherFocusReason);
}

QString TRNameSheet::name() const
{
    return m_name->text();
}
