#include "app/ExportRules.h"
#include "harness/TestMain.h"

class TestExportRules : public QObject
{
    Q_OBJECT

private slots:
    void proposalKeepsTheFolderAndTheName_data();
    void proposalKeepsTheFolderAndTheName();
    void imageScaleKeepsBothSidesToTheCap_data();
    void imageScaleKeepsBothSidesToTheCap();
};

void TestExportRules::proposalKeepsTheFolderAndTheName_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("proposal");
    QTest::newRow("lower case extension") << "/p/Plan.tv"
                                          << "PNG"
                                          << "/p/Plan.png";
    QTest::newRow("name that is all suffix") << "/p/.tv"
                                             << "svg"
                                             << "/p/.tv.svg";
    QTest::newRow("spaces kept") << "/my plans/Big plan.tv"
                                 << "csv"
                                 << "/my plans/Big plan.csv";
    QTest::newRow("relative") << "Plan.tv"
                              << "txt"
                              << "Plan.txt";
    QTest::newRow("no plan") << ""
                             << "pdf"
                             << ".pdf";
}

void TestExportRules::proposalKeepsTheFolderAndTheName()
{
    QFETCH(QString, plan);
    QFETCH(QString, extension);
    QFETCH(QString, proposal);
    QCOMPARE(exportFileProposal(plan, extension), proposal);
}

void TestExportRules::imageScaleKeepsBothSidesToTheCap_data()
{
    QTest::addColumn<QSizeF>("scene");
    QTest::addColumn<double>("scale");
    QTest::newRow("small") << QSizeF(400, 300) << 1.0;
    QTest::newRow("at the cap") << QSizeF(10000, 10000) << 1.0;
    QTest::newRow("a fraction over") << QSizeF(10000.5, 200) << 1.0;
    QTest::newRow("wide") << QSizeF(40000, 100) << 0.25;
    QTest::newRow("tall") << QSizeF(100, 20000) << 0.5;
    QTest::newRow("wide, and taller still") << QSizeF(20000, 50000) << 0.2;
}

// No side of the image drawn at the scale exceeds the cap, and a scene that fits is drawn at
// its own size.
void TestExportRules::imageScaleKeepsBothSidesToTheCap()
{
    QFETCH(QSizeF, scene);
    QFETCH(double, scale);
    const double found = exportImageScale(scene);
    QCOMPARE(found, scale);
    QVERIFY(int(scene.width() * found) <= maximumExportSide);
    QVERIFY(int(scene.height() * found) <= maximumExportSide);
}

TAVROLO_TEST_MAIN(TestExportRules)
#include "tst_exportrules.moc"
