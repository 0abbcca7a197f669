#include "common/TextDrawing.h"
#include "common/TextHelpers.h"
#include "harness/TestMain.h"

class TestTextCuts : public QObject
{
    Q_OBJECT
private slots:
    void elideText_data();
    void elideText();
    void keyForValue_data();
    void keyForValue();
    void cutAtEncodedNewline_data();
    void cutAtEncodedNewline();
};

void TestTextCuts::elideText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("elided");
    const QString ten = QStringLiteral("abcdefghij");
    QTest::newRow("fits exactly") << ten << 10 << ten;
    QTest::newRow("cut with ellipsis") << ten << 5 << QStringLiteral("abcd\u2026");
    QTest::newRow("one character") << ten << 1 << QStringLiteral("a");
    QTest::newRow("zero") << ten << 0 << QString();
    QTest::newRow("negative") << ten << -3 << QString();
    QTest::newRow("empty") << QString() << 3 << QString();
}

void TestTextCuts::elideText()
{
    QFETCH(QString, text);
    QFETCH(int, maxLength);
    QFETCH(QString, elided);
    QCOMPARE(::elideText(text, maxLength), elided);
}

void TestTextCuts::keyForValue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("result");
    QTest::newRow("found") << 3 << 1;
    QTest::newRow("missing") << 4 << -1;
    QTest::newRow("none stays") << 0 << 0;
    QTest::newRow("negative stays") << -1 << -1;
}

void TestTextCuts::keyForValue()
{
    QFETCH(int, index);
    QFETCH(int, result);
    ::keyForValue(index, {{1, 3}, {2, 1}, {3, 2}});
    QCOMPARE(index, result);
    int other = 5;
    ::keyForValue(other, {});
    QCOMPARE(other, -1);
}

void TestTextCuts::cutAtEncodedNewline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cut");
    QTest::newRow("upper case") << "abc%0Adef"
                                << "abc";
    QTest::newRow("lower case") << "abc%0adef%0Aghi"
                                << "abc";
    QTest::newRow("none") << "abc%20def"
                          << "abc%20def";
    QTest::newRow("at start") << "%0Aabc"
                              << "";
}

void TestTextCuts::cutAtEncodedNewline()
{
    QFETCH(QString, text);
    QFETCH(QString, cut);
    ::cutAtEncodedNewline(text);
    QCOMPARE(text, cut);
}

TAVROLO_TEST_MAIN(TestTextCuts)
#include "tst_textcuts.moc"
