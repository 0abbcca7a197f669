#include "common/Accessors.h"
#include "common/MessageBoxes.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

namespace {
const char deleteRowKey[] = "show_warning_del_row";
const QString dontShowAgain = QStringLiteral("Don't show this again");
} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void plainBoxesReturnThePressedButton();
    void silencedBoxReturnsDefaultWithoutShowing_data();
    void silencedBoxReturnsDefaultWithoutShowing();
    void tickedBoxIsSilencedWhateverTheButton_data();
    void tickedBoxIsSilencedWhateverTheButton();
    void onceBoxShowsOnlyTheFirstTime();
};

void TestMessageBoxes::init()
{
    settings()->clear();
}

void TestMessageBoxes::plainBoxesReturnThePressedButton()
{
    ModalAnswer answer(QStringLiteral("Cancel"));
    const int result = criticalMessage(nullptr, QStringLiteral("Could not open the plan."),
                                       QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    QVERIFY(answer.answered());
    QCOMPARE(result, int(QMessageBox::Cancel));
    QCOMPARE(answer.shownText(), QStringLiteral("Could not open the plan."));
}

void TestMessageBoxes::silencedBoxReturnsDefaultWithoutShowing_data()
{
    QTest::addColumn<bool>("information");
    QTest::newRow("warning") << false;
    QTest::newRow("information") << true;
}

void TestMessageBoxes::silencedBoxReturnsDefaultWithoutShowing()
{
    QFETCH(bool, information);
    settings()->setValue(QString::fromLatin1(deleteRowKey), false);
    // Would close a box that should not have been shown, so the test fails instead of hanging.
    ModalAnswer answer(QStringLiteral("OK"), {}, ModalAnswer::Action(), 300);
    const auto show = information ? informationWithDontShowAgain : warningWithDontShowAgain;
    const int result = show(nullptr, deleteRowKey, QStringLiteral("Delete the row?"),
                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    QCOMPARE(result, int(QMessageBox::Cancel));
    QVERIFY(!answer.answered());
}

void TestMessageBoxes::tickedBoxIsSilencedWhateverTheButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("showAgain");
    QTest::newRow("ticked cancel") << "Cancel" << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("ticked ok") << "OK" << true << int(QMessageBox::Ok) << false;
    QTest::newRow("unticked ok") << "OK" << false << int(QMessageBox::Ok) << true;
}

void TestMessageBoxes::tickedBoxIsSilencedWhateverTheButton()
{
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(int, result);
    QFETCH(bool, showAgain);
    ModalAnswer answer(button, tick ? QStringList {dontShowAgain} : QStringList());
    QCOMPARE(warningWithDontShowAgain(nullptr, deleteRowKey, QStringLiteral("Delete the row?"),
                                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok),
             result);
    QVERIFY(answer.answered());
    QCOMPARE(settings()->value(QString::fromLatin1(deleteRowKey), true).toBool(), showAgain);
}

void TestMessageBoxes::onceBoxShowsOnlyTheFirstTime()
{
    const QString key = QStringLiteral("showed_pdf_gradient_warning");
    {
        ModalAnswer answer(QStringLiteral("OK"));
        QCOMPARE(warningMessageOnce(key, nullptr, QStringLiteral("Gradients may look odd.")),
                 int(QMessageBox::Ok));
        QVERIFY(answer.answered());
    }
    QVERIFY(settings()->value(key).toBool());
    ModalAnswer answer(QStringLiteral("OK"), {}, ModalAnswer::Action(), 300);
    QCOMPARE(warningMessageOnce(key, nullptr, QStringLiteral("Gradients may look odd."),
                                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel),
             int(QMessageBox::Cancel));
    QVERIFY(!answer.answered());
}

TAVROLO_TEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
