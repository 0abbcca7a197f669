#include "common/Accessors.h"
#include "common/Prompts.h"
#include "common/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <QMessageBox>

namespace {

const QString dontShowAgain = QStringLiteral("Don't show this again");

QStringList storedNames()
{
    QStringList names;
    for (const Slice &view : doc()->storedViews())
        names << view.name;
    return names;
}

// Cost (2) with the stored views "Cost by team" and "High cost", and a filter on Cost.
void fillPlan()
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
}

} // namespace

class TestPrompts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void hiddenByFilterWarning_data();
    void hiddenByFilterWarning();
    void hiddenByFilterWarningCanBeSwitchedOff();
    void renameInStoredViews_data();
    void renameInStoredViews();
};

void TestPrompts::init()
{
    fillPlan();
    settings()->write(Settings::Key::ShowQuestionFilter, true);
    settings()->write(Settings::Key::ShowWarningUpdateStoredViewName, true);
}

void TestPrompts::hiddenByFilterWarning_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("adjective");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("filterRemoved");
    QTest::newRow("one new card kept hidden")
        << 1 << "new"
        << "Hide card"
        << "1 new card is hidden by the current filter." << false;
    QTest::newRow("three edited cards kept hidden")
        << 3 << "edited"
        << "Hide cards"
        << "3 edited cards are hidden by the current filter." << false;
    QTest::newRow("filter removed") << 1 << "new"
                                    << "Remove filter"
                                    << "1 new card is hidden by the current filter." << true;
}

void TestPrompts::hiddenByFilterWarning()
{
    QFETCH(int, count);
    QFETCH(QString, adjective);
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(bool, filterRemoved);
    DocumentRecorder recorder(*doc());
    ModalAnswer answer(button);

    warnHiddenByFilter(count, adjective);

    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), text);
    QCOMPARE(doc()->filterTerms().isEmpty(), filterRemoved);
    QCOMPARE(recorder.undoTexts, filterRemoved ? QStringList {"Clear Filter"} : QStringList());
    QVERIFY(doc()->filterBasic());
}

void TestPrompts::hiddenByFilterWarningCanBeSwitchedOff()
{
    {
        ModalAnswer answer(QStringLiteral("Hide card"), {dontShowAgain});
        warnHiddenByFilter(1, QStringLiteral("new"));
        QVERIFY(answer.answered());
    }
    QCOMPARE(settings()->read(Settings::Key::ShowQuestionFilter).toBool(), false);
    // Nothing may be shown now; an answer waiting for a box would find none.
    ModalAnswer answer(QStringLiteral("Remove filter"), {}, {}, 200);
    warnHiddenByFilter(1, QStringLiteral("new"));
    QVERIFY(!answer.answered());
    QCOMPARE(doc()->filterTerms().size(), 1);
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
    QStringList sortedNames = storedNames();
    sortedNames.sort();
    QCOMPARE(sortedNames, names);
    // The property edit that follows makes the undo step; this adds none of its own.
    QVERIFY(recorder.isSilent());
}

TAVROLO_TEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
