#include "platform/qt/label.h"
#include "platform/qt/text_box.h"
#include "support/cp1251.h"
#include "support/tarvelo_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCryptographicHash>
#include <QStyleFactory>
#include <QTest>
#include <QTextBlock>

#include <map>
#include <optional>
#include <string>

using platform::qt::TextBox;

namespace {

TextBox &Box(TarveloWindow &window, std::int16_t index)
{
    return *static_cast<TextBox *>(window.form.Widget("Text1", index));
}

} // namespace

class tst_TextsAndAccess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textsAreExact_data();
    void textsAreExact();
    void displayedLines_data();
    void displayedLines();
    void everyTextFitsWindows1251_data();
    void everyTextFitsWindows1251();
    void controlsInDescribedOrder();
    void labelAndBoxes();
    void tabWalksTheDescribedOrder();
    void spaceOnStartRunsTheAnimation();
    void typingChangesNothing();
    void screenReaderSeesRolesAndNames_data();
    void screenReaderSeesRolesAndNames();
};

void tst_TextsAndAccess::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

// Checked against the SHA-256 of the texts' Windows-1251 bytes, CR LF after every
// line, trailing blanks included.
void tst_TextsAndAccess::textsAreExact_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QByteArray>("sha256");
    QTest::newRow("description")
        << 0 << 1032
        << QByteArray("3513fd4771ee44cb67c73558d03c7e8f8b78c0111d10eac464f53f8f6ffa510a");
    QTest::newRow("aphorism")
        << 1 << 118
        << QByteArray("2c8af4d165423ae94cd800613198ee373c4e6d53f9da48fab4d46f8a80e753ca");
}

void tst_TextsAndAccess::textsAreExact()
{
    QFETCH(int, index);
    QFETCH(int, bytes);
    QFETCH(QByteArray, sha256);
    TarveloWindow window;
    const std::optional<QByteArray> text = InCp1251(Box(window, std::int16_t(index)).Text());
    QVERIFY(text);
    QCOMPARE(text->size(), bytes);
    QCOMPARE(QCryptographicHash::hash(*text, QCryptographicHash::Sha256).toHex(), sha256);
}

void tst_TextsAndAccess::displayedLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("lines");
    QTest::newRow("description") << 0 << 20;
    QTest::newRow("aphorism") << 1 << 3;
}

void tst_TextsAndAccess::displayedLines()
{
    QFETCH(int, index);
    QFETCH(int, lines);
    TarveloWindow window;
    const QTextDocument *document = Box(window, std::int16_t(index)).document();
    // Each CR LF is one break: the lines, then the empty line after the last break.
    QCOMPARE(document->blockCount(), lines + 1);
    QVERIFY(document->lastBlock().text().isEmpty());
    QVERIFY(!document->toPlainText().contains(QLatin1Char('\r')));
    for (QTextBlock block = document->begin(); block != document->lastBlock(); block = block.next())
        QVERIFY2(!block.text().isEmpty(), qPrintable(QString::number(block.blockNumber())));
}

void tst_TextsAndAccess::everyTextFitsWindows1251_data()
{
    QTest::addColumn<QString>("text");
    const platform::WindowDescription description = shell::TarveloDescription();
    QTest::newRow("caption") << QString::fromStdString(description.caption);
    for (const platform::ControlDescription &control : description.controls) {
        const std::string name = control.array + "(" + std::to_string(control.index) + ")";
        if (!control.text.empty())
            QTest::newRow((name + " text").c_str()) << QString::fromStdString(control.text);
        if (!control.accessibleName.empty())
            QTest::newRow((name + " accessible name").c_str())
                << QString::fromStdString(control.accessibleName);
        if (!control.accessibleDescription.empty())
            QTest::newRow((name + " accessible description").c_str())
                << QString::fromStdString(control.accessibleDescription);
    }
}

void tst_TextsAndAccess::everyTextFitsWindows1251()
{
    QFETCH(QString, text);
    QVERIFY(InCp1251(text.toStdString()));
}

void tst_TextsAndAccess::controlsInDescribedOrder()
{
    TarveloWindow window;
    QStringList created;
    for (QObject *child : window.form.children())
        if (child->isWidgetType())
            created << child->objectName();
    // The timer is no widget; the rest stand in the order they were described.
    QCOMPARE(created, (QStringList{"Command1(1)", "Command1(0)", "Picture1(0)", "Text1(1)",
                                   "Text1(0)", "Label1(0)"}));
}

void tst_TextsAndAccess::labelAndBoxes()
{
    TarveloWindow window;
    auto *label = static_cast<platform::qt::Label *>(window.form.Widget("Label1", 0));
    QCOMPARE(label->geometry(), QRect(64, 0, 305, 25));
    QCOMPARE(label->text(), QStringLiteral("Tarvelo"));
    QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 192, 128));
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);

    TextBox &description = Box(window, 0);
    QCOMPARE(description.geometry(), QRect(8, 216, 449, 121));
    QCOMPARE(description.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!description.isHidden());

    // Hidden, but its frame exists, reaching past the client area.
    TextBox &aphorism = Box(window, 1);
    QCOMPARE(aphorism.geometry(), QRect(40, 296, 449, 121));
    QVERIFY(aphorism.isHidden());
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    QVERIFY(!aphorism.isVisible());
}

void tst_TextsAndAccess::tabWalksTheDescribedOrder()
{
    TarveloWindow window;
    QVERIFY(window.Open());
    const QStringList expected{"Text1(0)", "Picture1(0)", "Command1(0)", "Command1(1)", "Text1(0)"};
    // How the drawing area and the buttons look without focus.
    std::map<QString, QImage> unfocused;
    for (const QString &name : expected.mid(1, 3))
        unfocused[name] = window.form.findChild<QWidget *>(name)->grab().toImage();
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        walked << focused->objectName();
        if (unfocused.contains(focused->objectName()))
            QVERIFY2(focused->grab().toImage() != unfocused[focused->objectName()],
                     qPrintable(focused->objectName() + QStringLiteral(" shows no focus")));
    }
    QCOMPARE(walked, expected);
    // Backwards the same way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1(1)"));
}

void tst_TextsAndAccess::spaceOnStartRunsTheAnimation()
{
    TarveloWindow window;
    QVERIFY(window.Open());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.button(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(window.timer().Enabled());
    QTRY_COMPARE_WITH_TIMEOUT(window.step(), std::optional<int>(1), 1500);
}

void tst_TextsAndAccess::typingChangesNothing()
{
    TarveloWindow window;
    QVERIFY(window.Open());
    TextBox &description = Box(window, 0);
    QCOMPARE(QApplication::focusWidget(), &description);
    const QString shown = description.toPlainText();
    const std::string kept = description.Text();
    const QImage picture = window.picture().persistentImage();
    // Cyrillic through key events: keyClicks cannot send it in this Qt.
    for (const QChar letter : QStringLiteral("Жълт"))
        QTest::sendKeyEvent(QTest::KeyAction::Click, &description, Qt::Key_unknown, letter,
                            Qt::NoModifier);
    QTest::keyClick(&description, Qt::Key_Backspace);
    QTest::keyClick(&description, Qt::Key_Return);
    QCOMPARE(description.toPlainText(), shown);
    QCOMPARE(description.Text(), kept);
    // Still selectable from the keyboard, for caret and screen-reader users.
    QTest::keyClick(&description, Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(description.textCursor().hasSelection());
    QVERIFY(!window.timer().Enabled());
    QCOMPARE(window.step(), std::optional<int>(0));
    QCOMPARE(window.picture().persistentImage(), picture);
}

void tst_TextsAndAccess::screenReaderSeesRolesAndNames_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("Start") << "Command1(0)" << int(QAccessible::Button)
                           << QStringLiteral("Стартирай");
    QTest::newRow("Stop") << "Command1(1)" << int(QAccessible::Button) << QStringLiteral("Спри");
    QTest::newRow("title") << "Label1(0)" << int(QAccessible::StaticText)
                           << QStringLiteral("Tarvelo");
    QTest::newRow("description") << "Text1(0)" << int(QAccessible::EditableText)
                                 << QStringLiteral("Описание");
    QTest::newRow("drawing area") << "Picture1(0)" << int(QAccessible::Graphic)
                                  << QStringLiteral("Светеща реклама");
}

void tst_TextsAndAccess::screenReaderSeesRolesAndNames()
{
    QFETCH(QString, element);
    QFETCH(int, role);
    QFETCH(QString, name);
    TarveloWindow window;
    window.form.show();
    QWidget *widget = window.form.findChild<QWidget *>(element);
    QVERIFY(widget);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(int(accessible->role()), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    if (role == QAccessible::Graphic)
        QVERIFY(accessible->text(QAccessible::Description).contains(QStringLiteral("окръжности")));
}

QTEST_MAIN(tst_TextsAndAccess)
#include "tst_textsandaccess.moc"
