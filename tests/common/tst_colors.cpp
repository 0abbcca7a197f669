#include "common/ColorButton.h"
#include "common/Colors.h"
#include "harness/TestMain.h"

#include <QAbstractScrollArea>
#include <QColorDialog>

namespace {

// A view that paints the full-screen note over its (empty) contents, as the Cards and
// Charts views do while shown full screen.
class HintedView : public QAbstractScrollArea
{
protected:
    void paintEvent(QPaintEvent *) override { drawFullScreenHint(this); }
};

void buttonRow(const char *name, int key, const QColor &initial, const QColor &answer, bool opens,
               const QColor &expected, int reports)
{
    QTest::newRow(name) << key << initial << answer << opens << expected << reports;
}

} // namespace

class TestColors : public QObject
{
    Q_OBJECT
private slots:
    void colourTextRoundTrips_data();
    void colourTextRoundTrips();
    void colourButtonReportsChosenColour_data();
    void colourButtonReportsChosenColour();
    void dotsStayReadableOnTheSwatch_data();
    void dotsStayReadableOnTheSwatch();
    void fullScreenNoteIsCentredOnTheView();
};

void TestColors::colourTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::newRow("empty is invalid") << "" << QColor();
    QTest::newRow("two parts") << "10,20" << QColor();
    QTest::newRow("doubled comma ignored") << "10,,20,30" << QColor(10, 20, 30);
    QTest::newRow("component above 255") << "10,20,300" << QColor();
    QTest::newRow("negative component") << "-1,20,30" << QColor();
    QTest::newRow("words count as zero") << "a,b,c" << QColor(0, 0, 0);
    QTest::newRow("fourth part ignored") << "1,2,3,4" << QColor(1, 2, 3);
}

void TestColors::colourTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QCOMPARE(stringToColor(text), color);
    QCOMPARE(stringToColor(colorToString(color)), color);
}

void TestColors::colourButtonReportsChosenColour_data()
{
    QTest::addColumn<int>("key"); // 0: a click
    QTest::addColumn<QColor>("initial");
    QTest::addColumn<QColor>("answer"); // none: the dialog is cancelled
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<int>("reports");
    const QColor red(255, 0, 0);
    const QColor teal(0, 128, 128);
    buttonRow("click, accepted", 0, red, teal, true, teal, 1);
    buttonRow("click without a colour before", 0, QColor(), teal, true, teal, 1);
    buttonRow("click, cancelled keeps the colour", 0, red, QColor(), true, red, 1);
    buttonRow("click, cancelled without a colour", 0, QColor(), QColor(), true, QColor(), 0);
    buttonRow("space", Qt::Key_Space, red, teal, true, teal, 1);
    buttonRow("return", Qt::Key_Return, red, teal, true, teal, 1);
    buttonRow("keypad enter is the dialog's", Qt::Key_Enter, red, teal, false, red, 0);
    buttonRow("letter", Qt::Key_A, red, teal, false, red, 0);
}

void TestColors::colourButtonReportsChosenColour()
{
    QFETCH(int, key);
    QFETCH(QColor, initial);
    QFETCH(QColor, answer);
    QFETCH(bool, opens);
    QFETCH(QColor, expected);
    QFETCH(int, reports);
    QWidget parent;
    ColorButton button(&parent, initial);
    parent.show();
    QSignalSpy spy(&button, &ColorButton::colorChanged);
    QColor offered;
    ModalAnswer answerer(
        answer.isValid() ? QStringLiteral("OK") : QStringLiteral("Cancel"), {},
        [&offered, answer](QWidget *modal) {
            auto *dialog = qobject_cast<QColorDialog *>(modal);
            offered = dialog->currentColor();
            dialog->setCurrentColor(answer);
        },
        opens ? 5000 : 100);
    if (key)
        QTest::keyClick(&button, Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    else
        QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(answerer.answered(), opens);
    if (initial.isValid()) // the dialog starts from the button's colour
        QCOMPARE(offered, opens ? initial : QColor());
    QCOMPARE(button.color(), expected);
    QCOMPARE(spy.count(), reports);
    if (reports)
        QCOMPARE(spy.first().first().value<QColor>(), expected);
}

void TestColors::dotsStayReadableOnTheSwatch_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("whiteText");
    QTest::newRow("dark swatch") << QColor(20, 20, 80) << true;
    QTest::newRow("light swatch") << QColor(250, 250, 200) << false;
}

void TestColors::dotsStayReadableOnTheSwatch()
{
    QFETCH(QColor, color);
    QFETCH(bool, whiteText);
    ColorButton button(nullptr, QColor(128, 128, 128));
    button.setColor(color);
    button.resize(60, 24);
    const QImage image = button.grab().toImage();
    // Inside the frame, the "…" is the only thing drawn in the text colour.
    bool found = false;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 4; x < image.width() - 4; ++x) {
            const int lightness = image.pixelColor(x, y).lightness();
            found = found || (whiteText ? lightness > 200 : lightness < 60);
        }
    }
    QVERIFY(found);
}

void TestColors::fullScreenNoteIsCentredOnTheView()
{
    HintedView view;
    view.resize(1200, 500);
    view.setFrameShape(QFrame::NoFrame);
    view.viewport()->setAutoFillBackground(false);
    const QImage image = view.grab().toImage();
    const QPoint centre = view.rect().center();
    // The box is black (painted at 80 % over the view), with a yellow frame above the centre;
    // the corners of the view stay untouched.
    QVERIFY(image.pixelColor(centre.x() - 300, centre.y() - 30).lightness() < 80);
    QCOMPARE(image.pixelColor(5, 5), view.viewport()->palette().color(QPalette::Window));
    bool yellowFrame = false;
    for (int y = 0; y < centre.y(); ++y) {
        const QColor c = image.pixelColor(centre.x(), y);
        yellowFrame = yellowFrame || (c.red() > 150 && c.green() > 150 && c.blue() < 100);
    }
    QVERIFY(yellowFrame);
}

TAVROLO_TEST_MAIN(TestColors)
#include "tst_colors.moc"
