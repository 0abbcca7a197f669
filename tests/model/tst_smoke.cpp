#include "harness/TestMain.h"

class TestSmoke : public QObject
{
    Q_OBJECT
private slots:
    void harnessRuns() { QVERIFY(qEnvironmentVariable("HOME").startsWith(QDir::tempPath())); }
};

TAVROLO_TEST_MAIN(TestSmoke)
#include "tst_smoke.moc"
