#include "harness/PlainTestMain.h"
#include "tests/model/PlanFixture.h"

using namespace PlanFixture;

// The plan reads its values with the formats the application hands it, not with whatever the
// preferences say at the moment of reading.
class TestValueFormats : public QObject
{
    Q_OBJECT
private slots:
    void typesAndFilterFollowTheFormats_data();
    void typesAndFilterFollowTheFormats();
    void copiesReadAlikeButFormatsAreNoPlanData();
};

namespace {

ValueFormats withDateFormat(int dateFormat)
{
    ValueFormats formats;
    formats.dateFormat = dateFormat;
    return formats;
}

} // namespace

void TestValueFormats::typesAndFilterFollowTheFormats_data()
{
    QTest::addColumn<int>("dateFormat");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("laterPasses");
    // "13/1/2020" is no date month first; "4/3/2020" is the 4th of March or the 3rd of April.
    QTest::newRow("day first") << 0 << int(ActualType::Date) << false;
    QTest::newRow("month first") << 1 << int(ActualType::Text) << true;
}

// Types and filter results read under one format must not outlive a change of formats: the
// plan is asked first under the other format, so that stale caches would show.
void TestValueFormats::typesAndFilterFollowTheFormats()
{
    QFETCH(int, dateFormat);
    QFETCH(int, type);
    QFETCH(bool, laterPasses);
    Document plan;
    fillPlan(plan, {{"a", "13/1/2020", "", "3/4/2020"}, {"b", "1/2/2020", "", "4/3/2020"}});
    plan.setFilter(true, true, true, {FilterTerm(Due, MatchType::GreaterThan, "3/4/2020")}, false,
                   false);
    plan.setValueFormats(withDateFormat(1 - dateFormat));
    plan.actualPropertyType(Status);
    plan.taskPassesFilter(1);
    plan.setValueFormats(withDateFormat(dateFormat));
    QCOMPARE(int(plan.actualPropertyType(Status)), type);
    QCOMPARE(plan.taskPassesFilter(1), laterPasses);
    QVERIFY(!plan.taskPassesFilter(0));
}

// An undo snapshot reads its values as the plan it was taken from; restoring one keeps the
// formats in force, and the formats take no part in telling plans apart.
void TestValueFormats::copiesReadAlikeButFormatsAreNoPlanData()
{
    Document plan;
    plan.setValueFormats(withDateFormat(2));
    fillPlan(plan, {{"x", "2020/1/13"}});
    const Document snapshot(plan);
    QVERIFY(snapshot.valueFormats() == withDateFormat(2));
    QCOMPARE(int(snapshot.actualPropertyType(Status)), int(ActualType::Date));
    Document restored;
    restored = snapshot;
    QVERIFY(restored.valueFormats() == ValueFormats());
    QVERIFY(restored == plan);
    QCOMPARE(int(restored.actualPropertyType(Status)), int(ActualType::Text));
}

TAVROLO_GUI_TEST_MAIN(TestValueFormats)
#include "tst_valueformats.moc"
