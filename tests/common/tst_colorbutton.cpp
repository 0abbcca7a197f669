#include "common/ColorButton.h"
#include "common/DialogHelpers.h"
#include "harness/TestMain.h"

#include <QColorDialog>

namespace {

// Answers the next colour dialog: picks the colour and presses OK, or presses Cancel when
// the colour is invalid.
ModalAnswer::Action pick(const QColor &color)
{
    return [color](QWidget *modal) {
        if (auto *dialog = qobject_cast<QColorDialog *>(modal))
            dialog->setCurrentColor(color);
    };
}

QString buttonFor(const QColor &answer)
{
    return answer.isValid() ? QStringLiteral("OK") : QStringLiteral("Cancel");
}

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
    // Without a colour the button shows the palette's background.
    QCOMPARE(button.styleSheet().isEmpty(), !initial.isValid());
    parent.show();
    QSignalSpy spy(&button, &ColorButton::colorChanged);
    QColor offered;
    ModalAnswer answerer(buttonFor(answer), {}, [&offered, answer](QWidget *modal) {
        if (auto *dialog = qobject_cast<QColorDialog *>(modal)) {
            offered = dialog->currentColor();
            dialog->setCurrentColor(answer);
        }
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(answerer.answered());
    QCOMPARE(answerer.shownClassName(), QStringLiteral("QColorDialog"));
    if (initial.isValid())
        QCOMPARE(offered, initial);
    QCOMPARE(spy.count(), reports);
    if (reports)
        QCOMPARE(spy.first().first().value<QColor>(), expected);
    QCOMPARE(button.color(), expected);
    QCOMPARE(button.styleSheet().contains(QStringLiteral("rgb(0, 128, 128)")),
             expected == QColor(0, 128, 128));
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
    QSignalSpy spy(&button, &ColorButton::colorChanged);
    ModalAnswer answerer(QStringLiteral("OK"), {}, pick(chosen), opens ? 5000 : 100);
    QTest::keyClick(&button, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(answerer.answered(), opens);
    QCOMPARE(button.color(), opens ? chosen : before);
    QCOMPARE(spy.count(), opens ? 1 : 0);
}

void TestColorButton::dotsStayReadableOnTheSwatch_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("text");
    QTest::newRow("dark swatch") << QColor(20, 20, 80) << QColor(Qt::white);
    QTest::newRow("light swatch") << QColor(250, 250, 200) << QColor(Qt::black);
}

void TestColorButton::dotsStayReadableOnTheSwatch()
{
    QFETCH(QColor, color);
    QFETCH(QColor, text);
    ColorButton button(nullptr, QColor(128, 128, 128));
    button.setColor(color);
    button.resize(60, 24);
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button.render(&image);
    // Inside the frame, the "…" is the only thing drawn in the text colour.
    bool found = false;
    for (int y = 4; y < image.height() - 4 && !found; ++y) {
        for (int x = 4; x < image.width() - 4 && !found; ++x) {
            const int lightness = QColor(image.pixel(x, y)).lightness();
            found = text == QColor(Qt::white) ? lightness > 200 : lightness < 60;
        }
    }
    QVERIFY(found);
}

TAVROLO_TEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
