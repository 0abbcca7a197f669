#include "common/ColorButton.h"
#include "harness/TestMain.h"

#include <QColorDialog>

namespace {

// Answers the next colour dialog: notes the colour it offered, then picks the answer and
// presses OK, or presses Cancel when the answer is no colour.
struct ColourAnswer
{
    QColor offered;
    ModalAnswer modal;

    ColourAnswer(const QColor &answer, int timeoutMs = 5000)
        : modal(
            answer.isValid() ? QStringLiteral("OK") : QStringLiteral("Cancel"), {},
            [this, answer](QWidget *widget) {
                if (auto *dialog = qobject_cast<QColorDialog *>(widget)) {
                    offered = dialog->currentColor();
                    dialog->setCurrentColor(answer);
                }
            },
            timeoutMs)
    { }
};

} // namespace

class TestColorButton : public QObject
{
    Q_OBJECT
private slots:
    void clickReportsChosenColour_data();
    void clickReportsChosenColour();
    void keysOpenTheDialog_data();
    void keysOpenTheDialog();
    void dotsStayReadableOnTheSwatch_data();
    void dotsStayReadableOnTheSwatch();
};

void TestColorButton::clickReportsChosenColour_data()
{
    QTest::addColumn<QColor>("initial");
    QTest::addColumn<QColor>("answer");
    QTest::addColumn<int>("reports");
    QTest::addColumn<QColor>("expected");
    const QColor red(255, 0, 0);
    const QColor teal(0, 128, 128);
    QTest::newRow("accepted") << red << teal << 1 << teal;
    QTest::newRow("accepted without a colour before") << QColor() << teal << 1 << teal;
    QTest::newRow("cancelled keeps the colour") << red << QColor() << 1 << red;
    QTest::newRow("cancelled without a colour") << QColor() << QColor() << 0 << QColor();
}

void TestColorButton::clickReportsChosenColour()
{
    QFETCH(QColor, initial);
    QFETCH(QColor, answer);
    QFETCH(int, reports);
    QFETCH(QColor, expected);
    QWidget parent;
    ColorButton button(&parent, initial);
    parent.show();
    QSignalSpy spy(&button, &ColorButton::colorChanged);
    ColourAnswer answerer(answer);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(answerer.modal.answered());
    if (initial.isValid())
        QCOMPARE(answerer.offered, initial);
    QCOMPARE(spy.count(), reports);
    if (reports)
        QCOMPARE(spy.first().first().value<QColor>(), expected);
    QCOMPARE(button.color(), expected);
}

void TestColorButton::keysOpenTheDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << false;
}

void TestColorButton::keysOpenTheDialog()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);
    const QColor before(10, 20, 30);
    const QColor chosen(200, 100, 50);
    ColorButton button(nullptr, before);
    button.show();
    ColourAnswer answerer(chosen, opens ? 5000 : 100);
    QTest::keyClick(&button, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(answerer.modal.answered(), opens);
    QCOMPARE(answerer.offered, opens ? before : QColor());
    QCOMPARE(button.color(), opens ? chosen : before);
}

void TestColorButton::dotsStayReadableOnTheSwatch_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("whiteText");
    QTest::newRow("dark swatch") << QColor(20, 20, 80) << true;
    QTest::newRow("light swatch") << QColor(250, 250, 200) << false;
}

void TestColorButton::dotsStayReadableOnTheSwatch()
{
    QFETCH(QColor, color);
    QFETCH(bool, whiteText);
    ColorButton button(nullptr, QColor(128, 128, 128));
    button.setColor(color);
    button.resize(60, 24);
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button.render(&image);
    // Inside the frame, the "…" is the only thing drawn in the text colour.
    bool found = false;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 4; x < image.width() - 4; ++x) {
            const int lightness = QColor(image.pixel(x, y)).lightness();
            found = found || (whiteText ? lightness > 200 : lightness < 60);
        }
    }
    QVERIFY(found);
}

TAVROLO_TEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
