#pragma once

#include "platform/control.h"

#include <QPlainTextEdit>

#include <string>

namespace platform::qt {

// A multi-line text box. It keeps its text exactly as given, line ends
// included, while the editor underneath shows CR LF as one line break.
class TextBox final : public QPlainTextEdit, public Control
{
public:
    TextBox(const std::string &text, QWidget *parent);

    // The text as given, UTF-8, byte for byte.
    const std::string &Text() const { return text_; }

    // Where a paragraph stands in the viewport, scrolled out of view or not:
    // the editor itself places only the ones it shows.
    QRectF BlockRect(const QTextBlock &block) const;

private:
    std::string text_;
};

} // namespace platform::qt
