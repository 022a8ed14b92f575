#include "TRTokenField.h"

#include "TRText.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <utility>

namespace {

constexpr int kMargin = 3;      // around the rows
constexpr int kChipPadding = 3; // left and right of a token's text
constexpr int kChipGap = 4;     // between two tokens
constexpr int kRowGap = 2;      // between two rows
constexpr int kEditorSlack = 6; // room for the text cursor behind the typed text

} // namespace

TRTokenField::TRTokenField(QWidget *parent) : QAbstractScrollArea(parent), m_editor(new QLineEdit(viewport()))
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);

    m_editor->setFrame(false);
    m_editor->setFocusPolicy(Qt::ClickFocus);
    m_editor->setTextMargins(0, 0, 0, 0);
    m_editor->setContentsMargins(0, 0, 0, 0);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textChanged, this, &TRTokenField::editorTextChanged);
    relayout();
}

TRTokenField::~TRTokenField() = default;

QStringList TRTokenField::tokens() const
{
    if (!isEditing() || m_editor->text().isEmpty())
        return m_tokens;
    QStringList all = m_tokens;
    all.insert(m_openIndex, m_editor->text());
    return all;
}

void TRTokenField::setTokens(const QStringList &tokens)
{
    changeTokens([&] {
        if (isEditing()) {
            m_openIndex = -1;
            setEditorText(QString(), 0);
            m_editor->hide();
        }
        m_tokens = tokens;
        m_display.clear();
        m_display.reserve(m_tokens.size());
        for (const QString &token : std::as_const(m_tokens))
            m_display.append(displayFor(token));
    });
    relayout();
}

void TRTokenField::setDisplayHook(DisplayHook hook)
{
    m_hook = std::move(hook);
    refreshDisplay();
}

void TRTokenField::refreshDisplay()
{
    for (qsizetype i = 0; i < m_tokens.size(); ++i)
        m_display[i] = displayFor(m_tokens.at(i));
    relayout();
}

QStringList TRTokenField::displayedTokens() const
{
    if (!isEditing() || m_editor->text().isEmpty())
        return m_display;
    QStringList all = m_display;
    all.insert(m_openIndex, m_editor->text());
    return all;
}

void TRTokenField::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    if (readOnly)
        closeEditor();
    m_readOnly = readOnly;
    viewport()->setCursor(readOnly ? Qt::ArrowCursor : Qt::IBeamCursor);
}

QString TRTokenField::displayedText() const
{
    return displayedTokens().join(u' ');
}

void TRTokenField::appendText(const QString &text)
{
    if (m_readOnly || text.isEmpty())
        return;
    if (!isEditing() || m_openIndex < m_tokens.size()) {
        closeEditor();
        openGap(m_tokens.size());
    }
    m_editor->end(false);
    // A separator in front keeps the text from joining a token being typed.
    m_editor->insert(m_editor->text().isEmpty() ? text : u' ' + text);
}

void TRTokenField::clear()
{
    if (!m_readOnly)
        setTokens({});
}

void TRTokenField::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(trText("Copy All"));
    copy->setEnabled(!tokens().isEmpty());
    QAction *paste = nullptr;
    QAction *clearAll = nullptr;
    if (!m_readOnly) {
        paste = menu.addAction(trText("Paste"));
        paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
        clearAll = menu.addAction(trText("Clear All"));
        clearAll->setEnabled(!tokens().isEmpty());
    }
    QAction *chosen = menu.exec(event->globalPos());
    if (chosen == copy)
        QGuiApplication::clipboard()->setText(displayedText());
    else if (chosen && chosen == paste)
        appendText(QGuiApplication::clipboard()->text());
    else if (chosen && chosen == clearAll)
        clear();
    event->accept();
}

bool TRTokenField::isSeparator(QChar character)
{
    return character == u'\t' || character.category() == QChar::Separator_Space;
}

QSize TRTokenField::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const int width = 36 * (fontMetrics().horizontalAdvance(u'0') + kChipGap / 2) + 2 * kMargin + frame;
    return {width, 3 * rowHeight() + 2 * kRowGap + 2 * kMargin + frame};
}

QSize TRTokenField::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {8 * fontMetrics().horizontalAdvance(u'0') + 2 * kMargin + frame,
            rowHeight() + 2 * kMargin + frame};
}

QString TRTokenField::displayFor(const QString &token) const
{
    return m_hook ? m_hook(token) : token;
}

void TRTokenField::changeTokens(const std::function<void()> &change)
{
    const QStringList before = tokens();
    change();
    if (tokens() != before)
        emit textChanged();
}

void TRTokenField::setEditorText(const QString &text, int cursor)
{
    m_settingEditor = true;
    m_editor->setText(text);
    m_editor->setCursorPosition(cursor);
    m_settingEditor = false;
}

void TRTokenField::openToken(qsizetype index, bool cursorAtEnd)
{
    const QString token = m_tokens.takeAt(index);
    m_display.removeAt(index);
    m_openIndex = index;
    setEditorText(token, cursorAtEnd ? int(token.size()) : 0);
    m_editor->show();
    relayout();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void TRTokenField::openGap(qsizetype index)
{
    m_openIndex = index;
    setEditorText(QString(), 0);
    m_editor->show();
    relayout();
    m_editor->setFocus(Qt::OtherFocusReason);
}

bool TRTokenField::closeEditor()
{
    if (!isEditing())
        return false;
    const QString text = m_editor->text();
    const bool kept = !text.isEmpty();
    if (kept) {
        m_tokens.insert(m_openIndex, text);
        m_display.insert(m_openIndex, displayFor(text));
    }
    m_openIndex = -1;
    // The field takes the focus before the editor hides, or Qt would pass it on to the next control.
    if (m_editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    setEditorText(QString(), 0);
    m_editor->hide();
    relayout();
    return kept;
}

void TRTokenField::editorTextChanged()
{
    if (m_settingEditor || !isEditing())
        return;
    const QString text = m_editor->text();
    qsizetype firstSeparator = 0;
    while (firstSeparator < text.size() && !isSeparator(text.at(firstSeparator)))
        ++firstSeparator;
    if (firstSeparator < text.size()) {
        // A separator was typed or pasted: the text around the cursor stays open, the rest is split
        // into separated tokens before and after it.
        const int cursor = m_editor->cursorPosition();
        QStringList before;
        QStringList after;
        QString open;
        int openCursor = 0;
        bool openFound = false;
        qsizetype start = 0;
        while (start <= text.size()) {
            qsizetype end = start;
            while (end < text.size() && !isSeparator(text.at(end)))
                ++end;
            const QString part = text.mid(start, end - start);
            if (!openFound && cursor >= start && cursor <= end) {
                open = part;
                openCursor = int(cursor - start);
                openFound = true;
            } else if (!part.isEmpty()) {
                (openFound ? after : before).append(part);
            }
            start = end + 1;
        }
        for (const QString &token : std::as_const(before)) {
            m_tokens.insert(m_openIndex, token);
            m_display.insert(m_openIndex, displayFor(token));
            ++m_openIndex;
        }
        for (qsizetype i = 0; i < after.size(); ++i) {
            m_tokens.insert(m_openIndex + i, after.at(i));
            m_display.insert(m_openIndex + i, displayFor(after.at(i)));
        }
        setEditorText(open, openCursor);
    }
    relayout();
    emit textChanged();
}

bool TRTokenField::editorKey(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || m_editor->hasSelectedText())
        return false;
    const int cursor = m_editor->cursorPosition();
    const int length = int(m_editor->text().size());
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (cursor != 0 || m_openIndex == 0)
            return false;
        changeTokens([&] {
            const QString previous = m_tokens.takeAt(m_openIndex - 1);
            m_display.removeAt(m_openIndex - 1);
            --m_openIndex;
            setEditorText(previous + m_editor->text(), int(previous.size()));
        });
        relayout();
        return true;
    case Qt::Key_Delete:
        if (cursor != length || m_openIndex >= m_tokens.size())
            return false;
        changeTokens([&] {
            const QString next = m_tokens.takeAt(m_openIndex);
            m_display.removeAt(m_openIndex);
            setEditorText(m_editor->text() + next, cursor);
        });
        relayout();
        return true;
    case Qt::Key_Left:
        if (cursor != 0 || m_openIndex == 0)
            return false;
        {
            const qsizetype previous = m_openIndex - 1;
            closeEditor();
            openToken(previous, true);
        }
        return true;
    case Qt::Key_Right:
        if (cursor != length)
            return false;
        {
            const qsizetype next = m_openIndex + (length > 0 ? 1 : 0);
            if (next >= m_tokens.size() + (length > 0 ? 1 : 0))
                return false;
            closeEditor();
            openToken(next, false);
        }
        return true;
    case Qt::Key_Home:
        if (m_tokens.isEmpty() || (m_openIndex == 0 && cursor == 0))
            return false;
        closeEditor();
        openToken(0, false);
        return true;
    case Qt::Key_End:
        if (m_openIndex >= m_tokens.size())
            return false;
        closeEditor();
        openGap(m_tokens.size());
        return true;
    default:
        return false;
    }
}

bool TRTokenField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                // Tab leaves the whole field, in either direction; the field itself comes first in the
                // focus chain and would otherwise reopen a token on Shift+Tab.
                const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
                closeEditor();
                focusNextPrevChild(forward);
                return true;
            }
            if (editorKey(key))
                return true;
        }
        if (event->type() == QEvent::FocusOut) {
            // A context menu or another window taking the focus leaves the token open.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                closeEditor();
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TRTokenField::keyPressEvent(QKeyEvent *event)
{
    if (m_readOnly || m_forwarding || QApplication::focusWidget() == m_editor) {
        // A key the editor left unused comes back up here; it goes on to the sheet (Return, Escape).
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (!isEditing()) {
        const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint();
        if (typing || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Left)
            m_tokens.isEmpty() || typing ? openGap(m_tokens.size()) : openToken(m_tokens.size() - 1, true);
        else if (event->key() == Qt::Key_Home && !m_tokens.isEmpty())
            openToken(0, false);
    }
    if (isEditing()) {
        // Keys sent to the field itself reach the token being typed.
        QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), event->text(),
                            event->isAutoRepeat(), ushort(event->count()));
        m_forwarding = true;
        QApplication::sendEvent(m_editor, &forwarded);
        m_forwarding = false;
        event->setAccepted(forwarded.isAccepted());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TRTokenField::mousePressEvent(QMouseEvent *event)
{
    if (m_readOnly || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    qsizetype index = tokenAt(event->position().toPoint());
    const qsizetype openIndex = m_openIndex;
    const bool kept = closeEditor();
    if (index >= 0) {
        if (kept && index >= openIndex)
            ++index; // the closed token now stands in front of it
        openToken(index, true);
    } else {
        openGap(m_tokens.size());
    }
    event->accept();
}

void TRTokenField::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (!m_readOnly && !isEditing() &&
        (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason))
        openGap(m_tokens.size());
}

int TRTokenField::rowHeight() const
{
    return qMax(fontMetrics().height() + 2, m_editor->sizeHint().height());
}

int TRTokenField::chipWidth(const QString &display)
{
    auto found = m_widths.constFind(display);
    if (found == m_widths.cend()) {
        if (m_widths.size() > 4096)
            m_widths.clear();
        found = m_widths.insert(display, fontMetrics().horizontalAdvance(display) + 2 * kChipPadding);
    }
    return *found;
}

void TRTokenField::relayout()
{
    const QFontMetrics metrics = fontMetrics();
    const int available = qMax(1, viewport()->width() - 2 * kMargin);
    const int row = rowHeight();
    int x = 0;
    int y = kMargin;
    const auto place = [&](int width) {
        if (x > 0 && x + width > available) {
            x = 0;
            y += row + kRowGap;
        }
        const QRect rect(kMargin + x, y, width, row);
        x += width + kChipGap;
        return rect;
    };
    m_chips.resize(m_tokens.size());
    m_editorRect = QRect();
    for (qsizetype i = 0; i <= m_tokens.size(); ++i) {
        if (i == m_openIndex) {
            const int typed = metrics.horizontalAdvance(m_editor->text());
            m_editorRect =
                place(qMin(available, qMax(typed + kEditorSlack, 2 * metrics.horizontalAdvance(u'0'))));
        }
        if (i < m_tokens.size())
            m_chips[i] = place(qMin(available, chipWidth(m_display.at(i))));
    }
    m_contentHeight = y + row + kMargin;
    verticalScrollBar()->setRange(0, qMax(0, m_contentHeight - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(row + kRowGap);
    if (isEditing()) {
        const int offset = verticalScrollBar()->value();
        if (m_editorRect.top() < offset)
            verticalScrollBar()->setValue(m_editorRect.top() - kMargin);
        else if (m_editorRect.bottom() > offset + viewport()->height())
            verticalScrollBar()->setValue(m_editorRect.bottom() + 1 + kMargin - viewport()->height());
    }
    placeEditor();
    viewport()->update();
}

void TRTokenField::placeEditor()
{
    if (isEditing())
        m_editor->setGeometry(m_editorRect.translated(0, -verticalScrollBar()->value()));
}

qsizetype TRTokenField::tokenAt(QPoint viewportPoint) const
{
    const QPoint point = viewportPoint + QPoint(0, verticalScrollBar()->value());
    for (qsizetype i = 0; i < m_chips.size(); ++i) {
        if (m_chips.at(i).contains(point))
            return i;
    }
    return -1;
}

void TRTokenField::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const int offset = verticalScrollBar()->value();
    const QRect visible = event->rect().translated(0, offset);
    QColor chip = palette().color(QPalette::Highlight);
    chip.setAlpha(isEnabled() ? 40 : 20);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    for (qsizetype i = 0; i < m_chips.size(); ++i) {
        const QRect rect = m_chips.at(i);
        if (!rect.intersects(visible))
            continue;
        const QRect shown = rect.translated(0, -offset);
        QPainterPath path;
        path.addRoundedRect(QRectF(shown).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter.fillPath(path, chip);
        const QRect textRect = shown.adjusted(kChipPadding, 0, -kChipPadding, 0);
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(m_display.at(i), Qt::ElideRight, textRect.width()));
    }
}

void TRTokenField::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void TRTokenField::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widths.clear();
        relayout();
    }
}

void TRTokenField::scrollContentsBy(int, int)
{
    placeEditor();
    viewport()->update();
}
