#include "platform/qt/text_box.h"

#include <QTextBlock>

namespace platform::qt {

TextBox::TextBox(const std::string &text, QWidget *parent) : QPlainTextEdit(parent), text_(text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    // Tab walks on to the next control rather than into the text.
    setTabChangesFocus(true);
}

QRectF TextBox::BlockRect(const QTextBlock &block) const
{
    // Paragraphs lie one below another from the first one shown.
    QTextBlock walk = firstVisibleBlock();
    QPointF top = contentOffset();
    while (walk.isValid() && walk.blockNumber() < block.blockNumber()) {
        top.ry() += blockBoundingRect(walk).height();
        walk = walk.next();
    }
    while (walk.isValid() && walk.blockNumber() > block.blockNumber()) {
        walk = walk.previous();
        top.ry() -= blockBoundingRect(walk).height();
    }
    return blockBoundingRect(block).translated(top);
}

} // namespace platform::qt
