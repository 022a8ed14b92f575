#include "TRStringEditor.h"

#include "TRText.h"

#include <QTextDocument>

TRStringEditor::TRStringEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(false);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setAccessibleName(trText("Text"));
}

TRStringEditor::~TRStringEditor() = default;

QString TRStringEditor::documentText() const
{
    QString text = document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

void TRStringEditor::setStringValue(const QString &text)
{
    m_filledText = text;
    setPlainText(text);
    m_filledDocumentText = documentText();
    moveCursor(QTextCursor::Start);
}

void TRStringEditor::beginEditing()
{
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

QString TRStringEditor::stringValue() const
{
    const QString shown = documentText();
    return shown == m_filledDocumentText ? m_filledText : shown;
}
