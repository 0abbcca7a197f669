#include "common/Accessors.h"
#include "common/MessageBoxes.h"
#include "common/Prompts.h"
#include "common/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

namespace {

const char deleteRowKey[] = "show_warning_del_row";
const QString dontShowAgain = QStringLiteral("Don't show this again");
const QString oneNewHidden = QStringLiteral("1 new card is hidden by the current filter.");

void boxRow(const char *name, const QString &box, bool silenced, const QString &button, bool tick,
            bool shown, bool silencedAfter)
{
    QTest::newRow(name) << box << silenced << button << tick << shown << silencedAfter;
}

void warningRow(const char *name, int count, const QString &adjective, const QString &button,
                bool tick, const QString &text, bool filterRemoved)
{
    QTest::newRow(name) << count << adjective << button << tick << text << filterRemoved;
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void boxIsShownUntilSilenced_data();
    void boxIsShownUntilSilenced();
    void hiddenByFilterWarning_data();
    void hiddenByFilterWarning();
    void renameInStoredViews_data();
    void renameInStoredViews();
};

// Fresh preferences; Cost (2) with the stored views "Cost by team" and "High cost", and a
// filter on Cost.
void TestMessageBoxes::init()
{
    settings()->clear();
    doc()->clear(true);
    doc()->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Automatic, QStringList(),
                       PropertyVisibility::Text, PropertyAppearance(), false);
    int x = 0;
    for (const char *name : {"Cost by team", "High cost"}) {
        doc()->setXProperty(x++, false);
        doc()->addStoredView(QLatin1String(name), false, false);
    }
    doc()->setFilter(true, true, true, {FilterTerm(2, MatchType::Contains, "5")}, false, false);
}

void TestMessageBoxes::boxIsShownUntilSilenced_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("silenced");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("silencedAfter");
    boxRow("silenced warning", "warning", true, "OK", false, false, true);
    boxRow("silenced information", "information", true, "OK", false, false, true);
    boxRow("ticked, cancelled", "warning", false, "Cancel", true, true, true);
    boxRow("ticked, accepted", "information", false, "OK", true, true, true);
    boxRow("not ticked", "warning", false, "OK", false, true, false);
    boxRow("once, first time", "once", false, "OK", false, true, true);
    boxRow("once, again", "once", true, "OK", false, false, true);
}

void TestMessageBoxes::boxIsShownUntilSilenced()
{
    QFETCH(QString, box);
    QFETCH(bool, silenced);
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(bool, shown);
    QFETCH(bool, silencedAfter);
    const bool once = box == "once";
    // Unseen, a box answers with its default button, Cancel here.
    const int result = shown && button == "OK" ? QMessageBox::Ok : QMessageBox::Cancel;
    const QString key = once ? "showed_pdf_gradient_warning" : QString::fromLatin1(deleteRowKey);
    if (silenced)
        settings()->setValue(key, once);
    // A short wait where no box may come: the test fails instead of hanging if one does.
    ModalAnswer answer(button, tick ? QStringList {dontShowAgain} : QStringList(), {},
                       shown ? 5000 : 300);
    const auto buttons = QMessageBox::Ok | QMessageBox::Cancel;
    const QString text = QStringLiteral("Delete the row?");
    const auto withDontShow
        = box == "information" ? informationWithDontShowAgain : warningWithDontShowAgain;
    QCOMPARE(once ? warningMessageOnce(key, nullptr, text, buttons, QMessageBox::Cancel)
                  : withDontShow(nullptr, deleteRowKey, text, buttons, QMessageBox::Cancel),
             result);
    QCOMPARE(answer.answered(), shown);
    QCOMPARE(answer.shownText(), shown ? text : QString());
    QCOMPARE(settings()->value(key, !once).toBool(), once ? silencedAfter : !silencedAfter);
}

void TestMessageBoxes::hiddenByFilterWarning_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("adjective");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("filterRemoved");
    warningRow("one new card kept hidden", 1, "new", "Hide card", false, oneNewHidden, false);
    warningRow("three edited cards kept hidden", 3, "edited", "Hide cards", false,
               "3 edited cards are hidden by the current filter.", false);
    warningRow("filter removed", 1, "new", "Remove filter", false, oneNewHidden, true);
    warningRow("switched off", 1, "new", "Hide card", true, oneNewHidden, false);
}

void TestMessageBoxes::hiddenByFilterWarning()
{
    QFETCH(int, count);
    QFETCH(QString, adjective);
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(QString, text);
    QFETCH(bool, filterRemoved);
    DocumentRecorder recorder(*doc());
    {
        ModalAnswer answer(button, tick ? QStringList {dontShowAgain} : QStringList());
        warnHiddenByFilter(count, adjective);
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(), text);
    }
    QCOMPARE(doc()->filterTerms().isEmpty(), filterRemoved);
    QCOMPARE(recorder.undoTexts, filterRemoved ? QStringList {"Clear Filter"} : QStringList());
    QVERIFY(doc()->filterBasic());
    if (!tick)
        return;
    // Switched off, nothing may be shown; an answer waiting for a box would find none.
    ModalAnswer again(QStringLiteral("Remove filter"), {}, {}, 200);
    warnHiddenByFilter(1, QStringLiteral("new"));
    QVERIFY(!again.answered());
    QVERIFY(!doc()->filterTerms().isEmpty());
}

void TestMessageBoxes::renameInStoredViews_data()
{
    QTest::addColumn<bool>("promptOn");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("names");
    const QStringList renamed {"High cost", "Price by team"};
    QTest::newRow("accepted") << true << "OK" << renamed;
    QTest::newRow("cancelled") << true << "Cancel" << QStringList {"Cost by team", "High cost"};
    QTest::newRow("prompt switched off") << false << QString() << renamed;
}

void TestMessageBoxes::renameInStoredViews()
{
    QFETCH(bool, promptOn);
    QFETCH(QString, button);
    QFETCH(QStringList, names);
    settings()->write(Settings::Key::ShowWarningUpdateStoredViewName, promptOn);
    DocumentRecorder recorder(*doc());
    ModalAnswer answer(promptOn ? button : QStringLiteral("OK"), {}, {}, promptOn ? 5000 : 200);
    offerRenameInStoredViews(nullptr, 2, QStringLiteral("Price"));
    QCOMPARE(answer.answered(), promptOn);
    if (promptOn)
        QCOMPARE(answer.shownText(),
                 QStringLiteral("Do you want to update 'Cost' to 'Price' in the names of 1 "
                                "stored view(s)?\nE.g.: 'Cost by team' -> 'Price by team'"));
    QStringList storedNames;
    for (const Slice &view : doc()->storedViews())
        storedNames << view.name;
    storedNames.sort();
    QCOMPARE(storedNames, names);
    // The property edit that follows makes the undo step; this adds none of its own.
    QVERIFY(recorder.isSilent());
}

TAVROLO_TEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
