#include "platform/qt/text_box_accessible.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace platform::qt {

TextBoxAccessible::TextBoxAccessible(QPlainTextEdit *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{}

QPlainTextEdit *TextBoxAccessible::Box() const
{
    return static_cast<QPlainTextEdit *>(widget());
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
    return Box()->toPlainText().mid(start, end - start);
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

QString TextBoxAccessible::LineText(int offset, int *start, int *end) const
{
    if (offset < 0 || offset > characterCount()) {
        *start = *end = -1;
        return {};
    }
    LineAt(offset, start, end);
    return text(*start, *end);
}

QString TextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                        int *start, int *end) const
{
    if (boundary != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
    return LineText(offset, start, end);
}

QString TextBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                            int *start, int *end) const
{
    if (boundary != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textBeforeOffset(offset, boundary, start, end);
    int lineStart = 0, lineEnd = 0;
    LineAt(offset, &lineStart, &lineEnd);
    return LineText(lineStart - 1, start, end); // none before the first line
}

QString TextBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int *start, int *end) const
{
    if (boundary != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAfterOffset(offset, boundary, start, end);
    int lineStart = 0, lineEnd = 0;
    LineAt(offset, &lineStart, &lineEnd);
    return LineText(lineEnd < characterCount() ? lineEnd : -1, start, end); // none after the last
}

int TextBoxAccessible::characterCount() const
{
    return int(Box()->toPlainText().size());
}

QRect TextBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    // The caret's rectangle before the character gives its line and left edge;
    // the one after it, on the same line, its right edge.
    const QRect before = Box()->cursorRect(CursorAt(offset));
    const QRect after = Box()->cursorRect(CursorAt(offset + 1));
    const QChar character = Box()->toPlainText().at(offset);
    const int width = after.top() == before.top() && after.left() > before.left()
                          ? after.left() - before.left()
                          : Box()->fontMetrics().horizontalAdvance(character);
    const QRect local(before.left(), before.top(), std::max(width, 1), before.height());
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
