#include "common/Accessors.h"
#include "common/MessageBoxes.h"
#include "common/Settings.h"
#include "harness/TestMain.h"

namespace {

const char deleteRowKey[] = "show_warning_del_row";
const QString onceKey = QStringLiteral("showed_pdf_gradient_warning");

void boxRow(const char *name, const QString &box, bool silenced, const QString &button, bool tick,
            int result, bool shown, bool silencedAfter)
{
    QTest::newRow(name) << box << silenced << button << tick << result << shown << silencedAfter;
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void boxIsShownUntilSilenced_data();
    void boxIsShownUntilSilenced();
};

void TestMessageBoxes::init()
{
    settings()->clear();
}

void TestMessageBoxes::boxIsShownUntilSilenced_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("silenced");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("silencedAfter");
    const int ok = QMessageBox::Ok;
    const int cancel = QMessageBox::Cancel;
    boxRow("silenced warning", "warning", true, "OK", false, cancel, false, true);
    boxRow("silenced information", "information", true, "OK", false, cancel, false, true);
    boxRow("ticked, cancelled", "warning", false, "Cancel", true, cancel, true, true);
    boxRow("ticked, accepted", "information", false, "OK", true, ok, true, true);
    boxRow("not ticked", "warning", false, "OK", false, ok, true, false);
    boxRow("once, first time", "once", false, "OK", false, ok, true, true);
    boxRow("once, again", "once", true, "OK", false, cancel, false, true);
}

void TestMessageBoxes::boxIsShownUntilSilenced()
{
    QFETCH(QString, box);
    QFETCH(bool, silenced);
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(int, result);
    QFETCH(bool, shown);
    QFETCH(bool, silencedAfter);
    const bool once = box == "once";
    const QString key = once ? onceKey : QString::fromLatin1(deleteRowKey);
    if (silenced)
        settings()->setValue(key, once);
    // A short wait where no box may come: the test fails instead of hanging if one does.
    ModalAnswer answer(button,
                       tick ? QStringList {QStringLiteral("Don't show this again")} : QStringList(),
                       {}, shown ? 5000 : 300);
    const auto buttons = QMessageBox::Ok | QMessageBox::Cancel;
    const QString text = QStringLiteral("Delete the row?");
    const auto withDontShow
        = box == "information" ? informationWithDontShowAgain : warningWithDontShowAgain;
    QCOMPARE(once ? warningMessageOnce(key, nullptr, text, buttons, QMessageBox::Cancel)
                  : withDontShow(nullptr, deleteRowKey, text, buttons, QMessageBox::Cancel),
             result);
    QCOMPARE(answer.answered(), shown);
    if (shown)
        QCOMPARE(answer.shownText(), text);
    QCOMPARE(settings()->value(key, !once).toBool(), once ? silencedAfter : !silencedAfter);
}

TAVROLO_TEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
