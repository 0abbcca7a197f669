#include "common/FittedText.h"
#include "harness/PlainTestMain.h"

#include <QFont>
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

} // namespace

class TestFittedText : public QObject
{
    Q_OBJECT
private slots:
    void elidedTextFitsOrEndsAtEllipsis_data();
    void elidedTextFitsOrEndsAtEllipsis();
    void scaledModeShrinksUntilTextFitsWithoutEliding_data();
    void scaledModeShrinksUntilTextFitsWithoutEliding();

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

TAVROLO_GUI_TEST_MAIN(TestFittedText)
#include "tst_fittedtext.moc"
