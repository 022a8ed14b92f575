#pragma once

#include <QPlainTextEdit>
#include <QString>

// The editor of string values: a multi-line text field that holds any text, of any length (line breaks,
// tabs, U+0000 and characters outside the Basic Multilingual Plane included).
//
// A string read back while the text is still what filling it showed is the very string it was filled
// with: the text document may store some characters in its own way (paragraph separators), which must
// not change a value the user did not edit.
class TRStringEditor final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TRStringEditor(QWidget *parent = nullptr);
    ~TRStringEditor() override;

    // setStringValue: / stringValue.
    void setStringValue(const QString &text);
    QString stringValue() const;
    // Takes the keyboard focus with the whole text selected, so that typing replaces it.
    void beginEditing();

private:
    // The document's text with its paragraph and line separators as line feeds.
    QString documentText() const;

    QString m_filledText;
    QString m_filledDocumentText;
};
