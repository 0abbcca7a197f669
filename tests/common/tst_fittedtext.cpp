#include "common/core/FittedText.h"
#include "harness/PlainTestMain.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace {

const QString ellipsis(QChar(0x2026));
const int centredWrapped = Qt::AlignCenter | Qt::TextWordWrap;

void elideRow(const char *name, const QString &text, const QRectF &rect, int mode, bool rotated,
              const QString &result)
{
    QTest::newRow(name) << text << rect << mode << rotated << result;
}

bool hasInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
        }
    }
    return false;
}

} // namespace

class TestFittedText : public QObject
{
    Q_OBJECT
private slots:
    void elidedTextFitsOrEndsAtEllipsis_data();
    void elidedTextFitsOrEndsAtEllipsis();
    void scaledModeShrinksUntilTextFitsWithoutEliding_data();
    void scaledModeShrinksUntilTextFitsWithoutEliding();
    void elidingKeepsTheLongestStartThatFits_data();
    void elidingKeepsTheLongestStartThatFits();
    void rowsLowerThanALineDrawTheEllipsisUnlessFaint_data();
    void rowsLowerThanALineDrawTheEllipsisUnlessFaint();
    void lineHeightCapKeepsOneLineWithinTheHeight_data();
    void lineHeightCapKeepsOneLineWithinTheHeight();

private:
    QImage m_image {400, 300, QImage::Format_ARGB32};
};

void TestFittedText::elidedTextFitsOrEndsAtEllipsis_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("rotated");
    QTest::addColumn<QString>("result"); // "kept", "cut" to fit, or only the "ellipsis" left
    const QRectF card(0, 0, 80, 20);
    const QString text = QStringLiteral("Customer onboarding");
    elideRow("long", "Quarterly planning of the whole department", card, 0, false, "cut");
    elideRow("already ends with ellipsis", "Release notes for the next version" + ellipsis, card, 0,
             false, "cut");
    // Lower than one line: no text fits, and eliding must still come to an end.
    elideRow("three pixels high, fixed", text, QRectF(10, 10, 200, 3), 0, false, "ellipsis");
    elideRow("three pixels high, intelligent", text, QRectF(10, 10, 200, 3), 2, false, "ellipsis");
    elideRow("zero width, fixed", text, QRectF(10, 10, 0, 40), 0, false, "ellipsis");
    elideRow("three pixels wide, rotated", text, QRectF(10, 10, 3, 200), 0, true, "ellipsis");
}

void TestFittedText::elidedTextFitsOrEndsAtEllipsis()
{
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    QFETCH(int, mode);
    QFETCH(bool, rotated);
    QFETCH(QString, result);
    const QString original = text;
    QPainter painter(&m_image);
    QFont font;
    drawFittedText(&painter, rect, mode, 14, 100, font, centredWrapped, text, rotated);
    if (result == "ellipsis") {
        QCOMPARE(text, ellipsis);
        return;
    }
    QCOMPARE(text == original, result == "kept");
    if (result == "cut") {
        QVERIFY(text.endsWith(ellipsis));
        QVERIFY(original.startsWith(text.chopped(1)));
    }
    painter.setFont(font);
    QVERIFY(painter.boundingRect(rect, centredWrapped, text).width() <= rect.width());
}

void TestFittedText::scaledModeShrinksUntilTextFitsWithoutEliding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("long header") << QStringLiteral("A rather long column header text")
                                 << QRectF(0, 0, 60, 40);
    QTest::newRow("rotated row header")
        << QStringLiteral("Waiting for review") << QRectF(0, 0, 30, 120);
}

void TestFittedText::scaledModeShrinksUntilTextFitsWithoutEliding()
{
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    const QString original = text;
    QPainter painter(&m_image);
    QFont font;
    const bool rotated = rect.height() > rect.width();
    drawFittedText(&painter, rect, 1, 0, 0, font, Qt::AlignCenter, text, rotated);
    QCOMPARE(text, original);
    const QRectF area(QPointF(), rotated ? rect.size().transposed() : rect.size());
    QVERIFY(font.pixelSize() >= 1 && font.pixelSize() < int(area.height() * 0.95));
    painter.setFont(font);
    const QRectF needed = painter.boundingRect(area, Qt::AlignCenter, text);
    QVERIFY2(needed.width() <= area.width() && needed.height() <= area.height(),
             qPrintable(QString::number(font.pixelSize())));
}

void TestFittedText::elidingKeepsTheLongestStartThatFits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<bool>("rotated");
    const QString sentence = QStringLiteral("Prepare the quarterly review of every open supplier "
                                            "contract before the board meets in March");
    QTest::newRow("one line, a few characters too long")
        << QStringLiteral("Customer onboarding call") << QRectF(0, 0, 120, 20) << false;
    QTest::newRow("one line, far too long") << sentence << QRectF(0, 0, 90, 20) << false;
    QTest::newRow("wrapped into three lines") << sentence << QRectF(0, 0, 150, 60) << false;
    QTest::newRow("one long word")
        << QString(90, QLatin1Char('w')) << QRectF(0, 0, 100, 40) << false;
    QTest::newRow("line breaks") << QStringLiteral("First line\nSecond line\nThird line")
                                 << QRectF(0, 0, 200, 40) << false;
    QTest::newRow("rotated row header") << sentence << QRectF(0, 0, 20, 160) << true;
    QTest::newRow("just fits") << QStringLiteral("Fits") << QRectF(0, 0, 200, 40) << false;
    QTest::newRow("two characters, too narrow")
        << QStringLiteral("WW") << QRectF(0, 0, 12, 40) << false;
    // Longer than the first start tried: the whole text is never needed to rule it out.
    QTest::newRow("two hundred characters")
        << QString(sentence + QLatin1Char(' ')).repeated(2) << QRectF(0, 0, 300, 80) << false;
}

// The result is the one of cutting a character at a time from the end, as the text was
// always elided: the whole text when it fits, else the longest start before the ellipsis that
// fits, else the ellipsis alone.
void TestFittedText::elidingKeepsTheLongestStartThatFits()
{
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    QFETCH(bool, rotated);
    QPainter painter(&m_image);
    QFont font;
    QString elided = text;
    drawFittedText(&painter, rect, 0, 14, 100, font, centredWrapped, elided, rotated);

    const QRectF area(QPointF(), rotated ? rect.size().transposed() : rect.size());
    painter.setFont(font);
    const auto fits = [&](const QString &candidate) {
        const QRectF needed = painter.boundingRect(area, centredWrapped, candidate);
        return needed.width() <= area.width() && needed.height() <= area.height();
    };
    QString expected = text;
    bool cut = false;
    while (!fits(expected) && expected != ellipsis) {
        if (expected.size() < 2)
            expected = ellipsis;
        else if (cut)
            expected.remove(expected.size() - 2, 1);
        else
            expected = expected.left(expected.size() - 2) + ellipsis;
        cut = true;
    }
    QCOMPARE(elided, expected);
}

void TestFittedText::rowsLowerThanALineDrawTheEllipsisUnlessFaint_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("drawn");
    // A 14-pixel font in a row 10 units high: only the ellipsis is left, about 16 units high.
    QTest::newRow("at full size") << 1.0 << 0 << true;
    QTest::newRow("three pixels high") << 0.2 << 0 << true;
    QTest::newRow("a pixel and a half high") << 0.1 << 0 << false;
    QTest::newRow("a pixel and a half high, intelligent") << 0.1 << 2 << false;
}

// An ellipsis under two device pixels high would be a faint dot: it is not drawn, but the
// text still ends as the ellipsis.
void TestFittedText::rowsLowerThanALineDrawTheEllipsisUnlessFaint()
{
    QFETCH(double, scale);
    QFETCH(int, mode);
    QFETCH(bool, drawn);
    QImage image(200, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QString text = QStringLiteral("Customer onboarding");
    QPainter painter(&image);
    painter.scale(scale, scale);
    QFont font;
    // The intelligent size from this reference is the smallest, 10 pixels, in a lower row.
    const QRectF row(0, 0, 200 / scale, mode == 0 ? 10 : 8);
    drawFittedText(&painter, row, mode, 14, 25, font, centredWrapped, text, false);
    painter.end();
    QCOMPARE(text, ellipsis);
    QCOMPARE(hasInk(image), drawn);
}

void TestFittedText::lineHeightCapKeepsOneLineWithinTheHeight_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("height");
    QTest::newRow("a line far too tall") << 60 << 67.5;
    QTest::newRow("a line a little too tall") << 60 << 69.0;
    QTest::newRow("a line that fits") << 30 << 67.5;
    QTest::newRow("no room at all") << 14 << 0.5;
}

// The size comes down just far enough for one line to fit the height, never up, never below 1;
// the fitted text then keeps a short heading whole.
void TestFittedText::lineHeightCapKeepsOneLineWithinTheHeight()
{
    QFETCH(int, size);
    QFETCH(double, height);
    QPainter painter(&m_image);
    QFont font;
    const int capped = pixelSizeForLineHeight(&painter, font, size, height);
    const auto lineAt = [&font](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetricsF(font).height();
    };
    QVERIFY(capped >= 1 && capped <= size);
    if (lineAt(size) <= height) {
        QCOMPARE(capped, size);
    } else if (capped > 1) {
        QVERIFY(lineAt(capped) <= height);
        QVERIFY(lineAt(capped + 1) > height);
    }
    if (height > 10) {
        QString text = QStringLiteral("To do");
        drawFittedText(&painter, QRectF(0, 0, 300, height), FittedTextFixed, capped, 0, font,
                       centredWrapped, text, false);
        QCOMPARE(text, QStringLiteral("To do"));
    }
}

TAVROLO_GUI_TEST_MAIN(TestFittedText)
#include "tst_fittedtext.moc"
