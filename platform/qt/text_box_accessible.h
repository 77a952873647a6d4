#pragma once

#include <QAccessibleWidget>

class QTextCursor;

namespace platform::qt {

class TextBox;

// A text box as screen readers read it: each character and line where it
// stands, scrolled into view or not, hit tests that find the character under a
// point, and text by character, word, sentence, line or paragraph as AT-SPI
// counts them: a word or sentence with the spaces after it, a line or
// paragraph with its break. Qt's own interface for a plain text editor (6.4
// and 6.8) puts every line on the first, and its word and sentence search
// never returns at the end of the text.
class TextBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextBoxAccessible(TextBox *box);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    // QAccessibleTextInterface
    void selection(int index, int *start, int *end) const override;
    int selectionCount() const override;
    void addSelection(int start, int end) override;
    void removeSelection(int index) override;
    void setSelection(int index, int start, int end) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int start, int end) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                             int *end) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                            int *end) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                         int *end) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int start, int end) override;
    QString attributes(int offset, int *start, int *end) const override;

private:
    TextBox *Box() const;
    QTextCursor CursorAt(int offset) const;
    // The unit holding `offset` (-1 stands for the end), as [start, end); none,
    // -1 and -1, outside the text.
    QString UnitAt(int offset, QAccessible::TextBoundaryType boundary, int *start, int *end) const;
    // The screen line holding `offset`, its line break included.
    void LineAt(int offset, int *start, int *end) const;
};

} // namespace platform::qt
