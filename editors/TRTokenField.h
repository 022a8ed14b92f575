#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>
#include <functional>

class QLineEdit;

// A line of tokens separated by white space (space, tab and the other Unicode space characters; line
// breaks are not separators), shown as small chips that wrap onto further rows.
//
// The field keeps every token exactly as typed; only its display goes through the display hook, so a
// hexadecimal field can show "1g2" as "12" while tokens() still answers "1g2". The token that holds the
// text cursor is being typed: it is shown raw, in an inline editor, and it is already part of tokens() as
// soon as it is not empty, so what the user sees is what the field holds. Typing a separator ends the
// token; Backspace at the start of a token (or Delete at its end) removes the separator and joins it with
// its neighbour; the arrow keys move from token to token; clicking a chip opens it for editing; Tab
// enters and leaves the field as one control. The context menu copies all tokens, pastes after the last
// one and clears the field.
//
// In Qt Designer, place a QWidget and promote it to TRTokenField (header "TRTokenField.h"); the readOnly
// property can be set there.
class TRTokenField : public QAbstractScrollArea
{
    Q_OBJECT
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)

public:
    // Answers the text shown for a separated token.
    using DisplayHook = std::function<QString(const QString &token)>;

    explicit TRTokenField(QWidget *parent = nullptr);
    ~TRTokenField() override;

    // The tokens in order, as typed, the one being typed included when it is not empty.
    QStringList tokens() const;
    // Replaces the whole list (tokens are kept as given, separators in them included) and ends any
    // editing. Emits textChanged() when the list changes.
    void setTokens(const QStringList &tokens);

    // The hook through which separated tokens are shown; an empty hook shows them as they are.
    void setDisplayHook(DisplayHook hook);
    // Asks the hook again for every token, for when its answers have changed.
    void refreshDisplay();
    // What the field shows for each token of tokens(): the hook's text for separated tokens, the raw
    // text for the token being typed.
    QStringList displayedTokens() const;

    // A read-only field shows its tokens but opens none of them for editing.
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    // The shown tokens joined by single spaces, as Copy All puts them on the clipboard.
    QString displayedText() const;
    // Adds text after the last token as if typed there: its separators split it into tokens, and the
    // last piece stays open for typing. Does nothing in a read-only field.
    void appendText(const QString &text);
    // Removes every token (not in a read-only field).
    void clear();

    // Whether the character separates tokens: tab and the Unicode space separators, not line breaks.
    static bool isSeparator(QChar character);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Sent on every change of the field's text: typing, joining tokens, setTokens().
    void textChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Copy All, Paste (at the end) and Clear All; a token open for editing has its own menu.
    void contextMenuEvent(QContextMenuEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Token under a point of the viewport, counted in m_tokens, or -1.
    qsizetype tokenAt(QPoint viewportPoint) const;
    QString displayFor(const QString &token) const;

    // Takes token `index` of m_tokens into the editor, the cursor at its start or end.
    void openToken(qsizetype index, bool cursorAtEnd);
    // Opens an empty editor in front of token `index` (m_tokens.size() for after the last one).
    void openGap(qsizetype index);
    // Puts the edited token back among the separated ones; answers whether it was kept (not empty).
    bool closeEditor();
    bool isEditing() const { return m_openIndex >= 0; }
    void setEditorText(const QString &text, int cursor);
    void editorTextChanged();
    // Handles the editor's keys that cross token boundaries; answers whether the key was used.
    bool editorKey(QKeyEvent *event);
    // Runs a change and sends textChanged() when the token list differs afterwards.
    void changeTokens(const std::function<void()> &change);

    void relayout();
    void placeEditor();
    int rowHeight() const;
    int chipWidth(const QString &display);

    QLineEdit *m_editor = nullptr;
    DisplayHook m_hook;
    bool m_readOnly = false;
    bool m_settingEditor = false;
    bool m_forwarding = false;

    QStringList m_tokens;  // separated tokens; the one being typed is in the editor
    QStringList m_display; // what each of m_tokens shows
    QList<QRect> m_chips;  // where each of m_tokens is drawn, in content coordinates
    QRect m_editorRect;    // where the editor sits, in content coordinates
    qsizetype m_openIndex = -1;
    int m_contentHeight = 0;
    // Text widths by display text: fields of bytes show few distinct tokens many times.
    QHash<QString, int> m_widths;
};
