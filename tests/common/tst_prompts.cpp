#include "common/Accessors.h"
#include "common/Prompts.h"
#include "common/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

namespace {

const QString oneNewHidden = QStringLiteral("1 new card is hidden by the current filter.");

void warningRow(const char *name, int count, const QString &adjective, const QString &button,
                bool tick, const QString &text, bool filterRemoved)
{
    QTest::newRow(name) << count << adjective << button << tick << text << filterRemoved;
}

} // namespace

class TestPrompts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void hiddenByFilterWarning_data();
    void hiddenByFilterWarning();
    void renameInStoredViews_data();
    void renameInStoredViews();
};

// Cost (2) with the stored views "Cost by team" and "High cost", and a filter on Cost.
void TestPrompts::init()
{
    doc()->clear(true);
    doc()->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Automatic, QStringList(),
                       PropertyVisibility::Text, PropertyAppearance(), false);
    int x = 0;
    for (const char *name : {"Cost by team", "High cost"}) {
        doc()->setXProperty(x++, false);
        doc()->addStoredView(QLatin1String(name), false, false);
    }
    doc()->setFilter(true, true, true, {FilterTerm(2, MatchType::Contains, "5")}, false, false);
    settings()->write(Settings::Key::ShowQuestionFilter, true);
    settings()->write(Settings::Key::ShowWarningUpdateStoredViewName, true);
}

void TestPrompts::hiddenByFilterWarning_data()
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

void TestPrompts::hiddenByFilterWarning()
{
    QFETCH(int, count);
    QFETCH(QString, adjective);
    QFETCH(QString, button);
    QFETCH(bool, tick);
    QFETCH(QString, text);
    QFETCH(bool, filterRemoved);
    DocumentRecorder recorder(*doc());
    {
        ModalAnswer answer(button, tick ? QStringList {"Don't show this again"} : QStringList());
        warnHiddenByFilter(count, adjective);
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(), text);
    }
    QCOMPARE(doc()->filterTerms().isEmpty(), filterRemoved);
    QCOMPARE(recorder.undoTexts, filterRemoved ? QStringList {"Clear Filter"} : QStringList());
    QVERIFY(doc()->filterBasic());
    // Once switched off, nothing may be shown; an answer waiting for a box would find none.
    ModalAnswer again(QStringLiteral("Remove filter"), {}, {}, 200);
    if (tick)
        warnHiddenByFilter(1, QStringLiteral("new"));
    QVERIFY(!again.answered());
    QCOMPARE(doc()->filterTerms().isEmpty(), filterRemoved);
}

void TestPrompts::renameInStoredViews_data()
{
    QTest::addColumn<bool>("promptOn");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("names");
    const QStringList renamed {"High cost", "Price by team"};
    QTest::newRow("accepted") << true << "OK" << renamed;
    QTest::newRow("cancelled") << true << "Cancel" << QStringList {"Cost by team", "High cost"};
    QTest::newRow("prompt switched off") << false << QString() << renamed;
}

void TestPrompts::renameInStoredViews()
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

TAVROLO_TEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
