#pragma once

#include <QAccessibleWidget>

class QPlainTextEdit;
class QTextCursor;

namespace platform::qt {

// A text box as screen readers read it: each character and line where it
// stands on screen, hit tests that find the character under a point, and
// lines that end with their line break, as AT-SPI expects. Qt's own interface
// for a plain text editor puts every line on the first.
class TextBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextBoxAccessible(QPlainTextEdit *box);

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
    QPlainTextEdit *Box() const;
    QTextCursor CursorAt(int offset) const;
    // The screen line holding `offset`, its line break included.
    void LineAt(int offset, int *start, int *end) const;
    // That line's text, or none (start and end -1) for an offset outside the text.
    QString LineText(int offset, int *start, int *end) const;
};

} // namespace platform::qt
