#include "app/Application.h"
#include "common/Accessors.h"
#include "common/TextDrawing.h"
#include "harness/TestMain.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QLabel>

class TestTextDrawing : public QObject
{
    Q_OBJECT
private slots:
    void absolutePathResolvesAgainstApplicationFolder_data();
    void absolutePathResolvesAgainstApplicationFolder();
    void relativePathRoundTrips_data();
    void relativePathRoundTrips();
    void spacerActions_data();
    void spacerActions();
    void widgetIsWrappedBetweenFixedSpacers();
};

void TestTextDrawing::absolutePathResolvesAgainstApplicationFolder_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("absolute") << "/home/me/plans/a.tv"
                              << "/home/me/plans/a.tv";
    QTest::newRow("relative") << "plans/a.tv" << appFolder + "/plans/a.tv";
    QTest::newRow("backslashes from another system")
        << "plans\\team\\a.tv" << appFolder + "/plans/team/a.tv";
    QTest::newRow("dots cleaned") << "./plans/../a.tv" << appFolder + "/a.tv";
}

void TestTextDrawing::absolutePathResolvesAgainstApplicationFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(absolutePath(path), expected);
}

void TestTextDrawing::relativePathRoundTrips_data()
{
    const QString appFolder = app()->appDir().absolutePath();
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("relative");
    QTest::newRow("inside") << appFolder + "/plans/a.tv"
                            << "plans/a.tv";
    QTest::newRow("beside") << QDir::cleanPath(appFolder + "/../b.tv") << "../b.tv";
    QTest::newRow("already relative") << "plans/c.tv"
                                      << "plans/c.tv";
}

void TestTextDrawing::relativePathRoundTrips()
{
    QFETCH(QString, path);
    QFETCH(QString, relative);
    QCOMPARE(relativePath(path), relative);
    if (QDir::isAbsolutePath(path))
        QCOMPARE(absolutePath(relativePath(path)), path);
}

void TestTextDrawing::spacerActions_data()
{
    QTest::addColumn<QString>("iconText");
    QTest::addColumn<bool>("separator");
    QTest::addColumn<bool>("spacer");
    QTest::newRow("separator") << "" << true << true;
    QTest::newRow("flexible space") << "_spacer" << false << true;
    QTest::newRow("other case") << "_Spacer" << false << false;
    QTest::newRow("command") << "Add Card" << false << false;
}

void TestTextDrawing::spacerActions()
{
    QFETCH(QString, iconText);
    QFETCH(bool, separator);
    QFETCH(bool, spacer);
    QAction action(iconText);
    action.setSeparator(separator);
    QCOMPARE(isSpacerAction(&action), spacer);
}

void TestTextDrawing::widgetIsWrappedBetweenFixedSpacers()
{
    QWidget host;
    auto *layout = new QHBoxLayout(&host);
    layout->addWidget(new QLabel(QStringLiteral("first")));
    layout->addWidget(new QLabel(QStringLiteral("last")));
    auto *wrapped = new QLabel(QStringLiteral("wrapped"));

    wrapWithSpacers(wrapped, layout, 6, 0, 1);

    auto *column = qobject_cast<QVBoxLayout *>(layout->itemAt(1)->layout());
    QVERIFY(column);
    QCOMPARE(column->count(), 2);
    QCOMPARE(column->itemAt(0)->spacerItem()->sizeHint(), QSize(0, 6));
    QCOMPARE(column->itemAt(1)->widget(), wrapped);
    QCOMPARE(layout->stretch(1), 0);
}

TAVROLO_TEST_MAIN(TestTextDrawing)
#include "tst_textdrawing.moc"
