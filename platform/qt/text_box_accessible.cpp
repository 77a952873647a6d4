#include "platform/qt/text_box_accessible.h"

#include "platform/qt/text_box.h"

#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace platform::qt {

namespace {

bool InWord(QChar character)
{
    return character.isLetterOrNumber();
}

bool EndsSentence(QChar character)
{
    return character == u'.' || character == u'!' || character == u'?' || character == u'\u2026';
}

// Whether a unit of this kind begins at `at`, inside the text. A word or a
// sentence takes the spaces after it along, as AT-SPI's word and sentence
// starts do; a line break is a word of its own, so that the caret's move over
// it, at the end of a line, has something to say.
bool StartsUnit(const QString &text, int at, QAccessible::TextBoundaryType boundary)
{
    switch (boundary) {
    case QAccessible::WordBoundary:
        return at < text.size() && ((InWord(text[at]) && !InWord(text[at - 1])) ||
                                    text[at] == u'\n' || text[at - 1] == u'\n');
    case QAccessible::SentenceBoundary: {
        if (at >= text.size() || text[at].isSpace() || !text[at - 1].isSpace())
            return false;
        int before = at - 1;
        while (before > 0 && text[before].isSpace())
            --before;
        return EndsSentence(text[before]);
    }
    case QAccessible::ParagraphBoundary:
        return text[at - 1] == u'\n';
    default:
        return true;
    }
}

} // namespace

TextBoxAccessible::TextBoxAccessible(TextBox *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{}

TextBox *TextBoxAccessible::Box() const
{
    return static_cast<TextBox *>(widget());
}

void *TextBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = Box()->isReadOnly();
    state.editable = !Box()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString TextBoxAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return Box()->toPlainText();
    return QAccessibleWidget::text(kind);
}

QTextCursor TextBoxAccessible::CursorAt(int offset) const
{
    QTextCursor cursor(Box()->document());
    cursor.setPosition(std::clamp(offset, 0, characterCount()));
    return cursor;
}

void TextBoxAccessible::selection(int index, int *start, int *end) const
{
    const QTextCursor cursor = Box()->textCursor();
    *start = *end = 0;
    if (index == 0 && cursor.hasSelection()) {
        *start = cursor.selectionStart();
        *end = cursor.selectionEnd();
    }
}

int TextBoxAccessible::selectionCount() const
{
    return Box()->textCursor().hasSelection() ? 1 : 0;
}

void TextBoxAccessible::addSelection(int start, int end)
{
    setSelection(0, start, end);
}

void TextBoxAccessible::removeSelection(int index)
{
    if (index != 0)
        return;
    QTextCursor cursor = Box()->textCursor();
    cursor.clearSelection();
    Box()->setTextCursor(cursor);
}

void TextBoxAccessible::setSelection(int index, int start, int end)
{
    if (index != 0)
        return;
    QTextCursor cursor = CursorAt(start);
    cursor.setPosition(std::clamp(end, 0, characterCount()), QTextCursor::KeepAnchor);
    Box()->setTextCursor(cursor);
}

int TextBoxAccessible::cursorPosition() const
{
    return Box()->textCursor().position();
}

void TextBoxAccessible::setCursorPosition(int position)
{
    Box()->setTextCursor(CursorAt(position));
}

QString TextBoxAccessible::text(int start, int end) const
{
    // Clamped first: a client may ask for any pair of ints.
    const QString all = Box()->toPlainText();
    start = std::clamp(start, 0, int(all.size()));
    end = std::clamp(end, start, int(all.size()));
    return all.mid(start, end - start);
}

void TextBoxAccessible::LineAt(int offset, int *start, int *end) const
{
    const QTextBlock block = Box()->document()->findBlock(std::clamp(offset, 0, characterCount()));
    const QTextLayout *layout = block.layout();
    const int inBlock = offset - block.position();
    const QTextLine line = layout && layout->lineCount() > 0
                               ? layout->lineForTextPosition(std::min(inBlock, block.length() - 1))
                               : QTextLine();
    if (!line.isValid()) { // not laid out, as in a hidden box: the paragraph is the line
        *start = block.position();
        *end = block.position() + block.length();
    } else {
        *start = block.position() + line.textStart();
        *end = *start + line.textLength();
        if (line.lineNumber() == layout->lineCount() - 1)
            *end = block.position() + block.length(); // the break after the paragraph
    }
    *end = std::min(*end, characterCount());
}

QString TextBoxAccessible::UnitAt(int offset, QAccessible::TextBoundaryType boundary, int *start,
                                  int *end) const
{
    const QString all = Box()->toPlainText();
    const int size = int(all.size());
    if (offset == -1)
        offset = size;
    if (offset < 0 || offset > size) {
        *start = *end = -1;
        return {};
    }
    switch (boundary) {
    case QAccessible::LineBoundary:
        LineAt(offset, start, end);
        break;
    case QAccessible::NoBoundary:
        *start = 0;
        *end = size;
        break;
    default:
        *start = offset;
        while (*start > 0 && !StartsUnit(all, *start, boundary))
            --*start;
        *end = std::min(offset + 1, size);
        while (*end < size && !StartsUnit(all, *end, boundary))
            ++*end;
        break;
    }
    return all.mid(*start, *end - *start);
}

QString TextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                        int *start, int *end) const
{
    return UnitAt(offset, boundary, start, end);
}

QString TextBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                            int *start, int *end) const
{
    UnitAt(offset, boundary, start, end);
    if (*start <= 0) { // none before the first
        *start = *end = -1;
        return {};
    }
    return UnitAt(*start - 1, boundary, start, end);
}

QString TextBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int *start, int *end) const
{
    UnitAt(offset, boundary, start, end);
    if (*end < 0 || *end >= characterCount()) { // none after the last
        *start = *end = -1;
        return {};
    }
    return UnitAt(*end, boundary, start, end);
}

int TextBoxAccessible::characterCount() const
{
    return int(Box()->toPlainText().size());
}

QRect TextBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    // From the text's own layout, so that a line scrolled out of view is
    // placed where it is, outside the viewport.
    const QTextBlock block = Box()->document()->findBlock(offset);
    const QRectF blockRect = Box()->BlockRect(block); // lays the paragraph out if need be
    const QTextLayout *layout = block.layout();
    const int inBlock = offset - block.position();
    const QTextLine line = layout ? layout->lineForTextPosition(inBlock) : QTextLine();
    if (!line.isValid())
        return {};
    const QPointF origin = blockRect.topLeft() + layout->position();
    const qreal left = line.cursorToX(inBlock);
    const qreal right =
        inBlock + 1 < line.textStart() + line.textLength()
            ? line.cursorToX(inBlock + 1)
            : left + Box()->fontMetrics().horizontalAdvance(Box()->toPlainText().at(offset));
    // Rounded edge by edge, so that neighbouring letters tile without overlap.
    const int x = qRound(origin.x() + left);
    const QRect local(x, qRound(origin.y() + line.y()), std::max(qRound(origin.x() + right) - x, 1),
                      qRound(line.height()));
    return QRect(Box()->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int TextBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = Box()->viewport()->mapFromGlobal(point);
    if (!Box()->viewport()->rect().contains(local))
        return -1;
    // The character whose cell holds the point, not the nearest caret position.
    const int caret = Box()->cursorForPosition(local).position();
    for (const int candidate : {caret, caret - 1})
        if (characterRect(candidate).contains(point))
            return candidate;
    return caret;
}

void TextBoxAccessible::scrollToSubstring(int start, int end)
{
    Box()->setTextCursor(CursorAt(end));
    Box()->ensureCursorVisible();
    Box()->setTextCursor(CursorAt(start));
    Box()->ensureCursorVisible();
}

QString TextBoxAccessible::attributes(int offset, int *start, int *end) const
{
    // No attributes vary within the text: one run covers it all.
    *start = 0;
    *end = characterCount();
    (void)offset;
    return {};
}

} // namespace platform::qt
