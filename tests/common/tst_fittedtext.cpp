#include "common/FittedText.h"
#include "harness/TestMain.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace {

const QString ellipsis(QChar(0x2026));
const int centredWrapped = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

class TestFittedText : public QObject
{
    Q_OBJECT
private slots:
    void rectangleTooSmallForAnyTextEndsAtEllipsis_data();
    void rectangleTooSmallForAnyTextEndsAtEllipsis();
    void elidedTextFitsAndEndsWithEllipsis_data();
    void elidedTextFitsAndEndsWithEllipsis();
    void scaledModeShrinksUntilTextFitsWithoutEliding_data();
    void scaledModeShrinksUntilTextFitsWithoutEliding();
    void intelligentModeNeverGoesBelowTenPixels();

private:
    QImage m_image {400, 300, QImage::Format_ARGB32};
};

void TestFittedText::rectangleTooSmallForAnyTextEndsAtEllipsis_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("rotated");
    QTest::newRow("three pixels high, fixed") << QRectF(10, 10, 200, 3) << 0 << false;
    QTest::newRow("three pixels high, intelligent") << QRectF(10, 10, 200, 3) << 2 << false;
    QTest::newRow("zero width, fixed") << QRectF(10, 10, 0, 40) << 0 << false;
    QTest::newRow("three pixels wide, rotated") << QRectF(10, 10, 3, 200) << 0 << true;
}

void TestFittedText::rectangleTooSmallForAnyTextEndsAtEllipsis()
{
    QFETCH(QRectF, rect);
    QFETCH(int, mode);
    QFETCH(bool, rotated);
    QPainter painter(&m_image);
    QFont font;
    QString text = QStringLiteral("Customer onboarding");
    drawFittedText(&painter, rect, mode, 14, 100, font, centredWrapped, text, rotated);
    QCOMPARE(text, ellipsis);
}

void TestFittedText::elidedTextFitsAndEndsWithEllipsis_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("elided");
    QTest::newRow("long") << QStringLiteral("Quarterly planning of the whole department") << true;
    QTest::newRow("short") << QStringLiteral("Q3") << false;
    QTest::newRow("already ends with ellipsis")
        << QStringLiteral("Release notes for the next version") + ellipsis << true;
}

void TestFittedText::elidedTextFitsAndEndsWithEllipsis()
{
    QFETCH(QString, text);
    QFETCH(bool, elided);
    const QString original = text;
    const QRectF rect(0, 0, 80, 20);
    QPainter painter(&m_image);
    QFont font;
    drawFittedText(&painter, rect, 0, 14, 100, font, Qt::AlignCenter, text, false);
    QCOMPARE(font.pixelSize(), 14);
    QCOMPARE(text != original, elided);
    if (!elided)
        return;
    QVERIFY(text.endsWith(ellipsis));
    QVERIFY(original.startsWith(text.left(text.size() - 1)));
    painter.setFont(font);
    const QRectF needed = painter.boundingRect(rect, Qt::AlignCenter, text);
    QVERIFY(needed.width() <= rect.width());
}

void TestFittedText::scaledModeShrinksUntilTextFitsWithoutEliding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("one letter") << QStringLiteral("i") << QRectF(0, 0, 300, 40);
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
    QVERIFY(font.pixelSize() >= 1);
    QRectF area(QPointF(), rotated ? rect.size().transposed() : rect.size());
    QVERIFY(font.pixelSize() < int(area.height() * 0.95));
    painter.setFont(font);
    const QRectF needed = painter.boundingRect(area, Qt::AlignCenter, text);
    QVERIFY2(needed.width() <= area.width() && needed.height() <= area.height(),
             qPrintable(QString::number(font.pixelSize())));
}

void TestFittedText::intelligentModeNeverGoesBelowTenPixels()
{
    QPainter painter(&m_image);
    painter.scale(40, 40);
    QFont font;
    QString text = QStringLiteral("Status");
    drawFittedText(&painter, QRectF(0, 0, 10, 5), 2, 0, 20, font, Qt::AlignCenter, text, false);
    QCOMPARE(font.pixelSize(), 10);
}

TAVROLO_TEST_MAIN(TestFittedText)
#include "tst_fittedtext.moc"
