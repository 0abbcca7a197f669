#include "cardedit/CardsEditScrollWidget.h"
#include "cardedit/PropertyPreview.h"
#include "cardedit/TaskDialog.h"
#include "common/app/Accessors.h"
#include "common/core/RelativeDates.h"
#include "common/widgets/DelayedEditComboBox.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <QCheckBox>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QLabel>

namespace {

enum { Name = 1, Priority = 2, Due = 3, Cost = 4 };

// Name (text, default "Untitled"), Priority (values High and Low), Due (date) and Cost
// (numbers: "10" pre-defined, "50" and "500" in use, no "1" nor "5").
void fillPlan()
{
    Document *plan = doc();
    plan->clear(false);
    plan->addProperty(QStringLiteral("Name"), QStringLiteral("Untitled"), PropertyType::Text, {},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    plan->addProperty(QStringLiteral("Priority"), QString(), PropertyType::Automatic, {},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    plan->addProperty(QStringLiteral("Due"), QString(), PropertyType::Date, {},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    plan->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, {"10"},
                      PropertyVisibility::Text, PropertyAppearance(), false);
    plan->addTaskWithValues({{Name, "Write docs"}, {Priority, "High"}, {Cost, "50"}}, QString(), {},
                            -1, false);
    plan->addTaskWithValues({{Name, "Ship"}, {Priority, "Low"}, {Cost, "500"}}, QString(), {}, -1,
                            false);
}

QList<PropertyPreview> records(const QStringList &names)
{
    QList<PropertyPreview> list;
    for (int i = 0; i < names.size(); ++i) {
        PropertyPreview record;
        record.propertyIndex = i + 1;
        record.name = names.at(i);
        record.defaultValue = doc()->propertyDefaultValue(i + 1);
        list.append(record);
    }
    setAbbreviations(list);
    return list;
}

QList<QSet<QString>> knownLowerValues()
{
    QList<QSet<QString>> known;
    for (const QStringList &values :
         doc()->valuesOfEveryProperty(ValueListOptions().withoutEmpty().withDefault())) {
        QSet<QString> lower;
        for (const QString &value : values)
            lower.insert(value.toLower());
        known.append(lower);
    }
    return known;
}

QString today()
{
    return normalizeDateText(QStringLiteral("today"), doc()->valueFormats());
}

CardsEditScrollWidget *editor(QWidget *dialog)
{
    return dialog->findChild<CardsEditScrollWidget *>();
}

QString fieldText(QWidget *dialog, int property)
{
    return editor(dialog)->valueCombo(property - 1)->currentText();
}

// Types the line and lets the pause run out.
void quickAdd(QWidget *dialog, const QString &text)
{
    auto *line = dialog->findChild<DelayedEditLineEdit *>();
    line->setText(text);
    line->flush();
}

} // namespace

class TestQuickAdd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void termsGoToTheirProperties_data();
    void termsGoToTheirProperties();
    void abbreviationsAreShortestFreePrefixes_data();
    void abbreviationsAreShortestFreePrefixes();
    void fieldsShowTheAssignedValues_data();
    void fieldsShowTheAssignedValues();
    void acceptingAddsOneCardAndClearsTheSceneSelection();
    void labelsAreBuiltFromTheName();
    void hiddenQuickAddIsRemembered();
    void clickingTheGreyExampleKeepsTypedFields();
    void recordsFollowTheirPropertyAfterADeletion();
};

void TestQuickAdd::init()
{
    settings()->clear();
    settings()->setHideQuickAdd(false);
    fillPlan();
}

void TestQuickAdd::termsGoToTheirProperties_data()
{
    QTest::addColumn<QString>("text");
    // Name, Priority, Due, Cost; "today" stands for today's date as stored.
    QTest::addColumn<QStringList>("values");
    QTest::newRow("worked example")
        << "Fix login, high, today, c=5" << QStringList {"Fix login", "high", "today", "5"};
    QTest::newRow("empty line gives defaults") << "" << QStringList {"Untitled", "", "", ""};
    QTest::newRow("semicolons win over commas") << "a;b, c" << QStringList {"a", "b, c", "", ""};
    QTest::newRow("name with empty value") << "n=" << QStringList {"", "", "", ""};
    QTest::newRow("parts after the second ignored")
        << "Priority=High=Low" << QStringList {"Untitled", "High", "", ""};
    QTest::newRow("identical terms fill one property")
        << "5, 5" << QStringList {"Untitled", "", "", "5"};
    QTest::newRow("unknown name fills nothing") << "zzz=5" << QStringList {"Untitled", "", "", ""};
    QTest::newRow("known value before type") << "low, x" << QStringList {"x", "low", "", ""};
    QTest::newRow("names ignore case")
        << "COST=7, DUE=today, name=A" << QStringList {"A", "", "today", "7"};
}

void TestQuickAdd::termsGoToTheirProperties()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QList<PropertyPreview> list = records({"Name", "Priority", "Due", "Cost"});
    assignQuickAddTerms(list, text, *doc(), knownLowerValues());
    QStringList assigned;
    for (const PropertyPreview &record : list)
        assigned.append(record.value);
    values.replaceInStrings(QRegularExpression(QStringLiteral("^today$")), today());
    QCOMPARE(assigned, values);
}

void TestQuickAdd::abbreviationsAreShortestFreePrefixes_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("abbreviations");
    QTest::newRow("n, no, not") << QStringList {"Name", "Notes due", "Note"}
                                << QStringList {"n", "no", "not"};
    QTest::newRow("name and nature") << QStringList {"Name", "Nature"} << QStringList {"n", "na"};
    QTest::newRow("every prefix taken") << QStringList {"A", "A", ""} << QStringList {"a", "", ""};
}

void TestQuickAdd::abbreviationsAreShortestFreePrefixes()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, abbreviations);
    QList<PropertyPreview> list;
    for (const QString &name : names) {
        PropertyPreview record;
        record.name = name;
        list.append(record);
    }
    setAbbreviations(list);
    QStringList found;
    for (const PropertyPreview &record : list)
        found.append(record.abbreviation);
    QCOMPARE(found, abbreviations);
}

void TestQuickAdd::fieldsShowTheAssignedValues_data()
{
    QTest::addColumn<QList<PropertyIndexAndValue>>("presets");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("property");
    QTest::addColumn<QString>("shown");
    const QList<PropertyIndexAndValue> none;
    QTest::newRow("equal entry, case ignored") << none << "p=high" << int(Priority) << "High";
    QTest::newRow("text finished from an entry") << none << "p=hi" << int(Priority) << "High";
    QTest::newRow("number not finished to 50") << none << "c=5" << int(Cost) << "5";
    QTest::newRow("preset number not finished to 10")
        << QList<PropertyIndexAndValue> {{Cost, "1"}} << "" << int(Cost) << "1";
    QTest::newRow("last preset wins")
        << QList<PropertyIndexAndValue> {{Name, "first"}, {Name, "second"}} << "" << int(Name)
        << "second";
    QTest::newRow("unlisted text typed in") << none << "name=Fix login" << int(Name) << "Fix login";
}

void TestQuickAdd::fieldsShowTheAssignedValues()
{
    QFETCH(QList<PropertyIndexAndValue>, presets);
    QFETCH(QString, text);
    QFETCH(int, property);
    QFETCH(QString, shown);
    TaskDialog dialog(nullptr, nullptr, presets, {});
    quickAdd(&dialog, text);
    QCOMPARE(fieldText(&dialog, property), shown);
    dialog.accept();
    QCOMPARE(doc()->value(dialog.createdTaskIndex(), property), shown);
}

void TestQuickAdd::acceptingAddsOneCardAndClearsTheSceneSelection()
{
    QGraphicsScene scene;
    auto *item = scene.addRect(0, 0, 10, 10);
    item->setFlag(QGraphicsItem::ItemIsSelectable);
    item->setSelected(true);
    DocumentRecorder recorder(*doc());
    TaskDialog dialog(nullptr, &scene, {}, {});
    quickAdd(&dialog, QStringLiteral("Fix login, high, today, c=5"));
    dialog.accept();
    QCOMPARE(recorder.undoTexts, QStringList {"Add Card"});
    const TaskIndex card = dialog.createdTaskIndex();
    QCOMPARE(card, 2);
    QCOMPARE(doc()->taskValues(card), (QStringList {"Fix login", "High", today(), "5"}));
    QVERIFY(scene.selectedItems().isEmpty());
}

void TestQuickAdd::labelsAreBuiltFromTheName()
{
    Document *plan = doc();
    plan->setPropertyName(Cost, QStringLiteral("Cost (USD)"), false);
    plan->setPropertyName(Due, QStringLiteral("Nature"), false);
    plan->setPropertyName(Priority, QStringLiteral("Name2"), false);
    TaskDialog dialog(nullptr, nullptr, {}, {});
    const QStringList shownLabels {"Name (n):", "Name2 (na):", "Nature (nat):", "Cost (USD) (c):"};
    for (int row = 0; row < shownLabels.size(); ++row)
        QCOMPARE(editor(&dialog)->propertyLabel(row)->text(), shownLabels.at(row));
    dialog.findChild<QCheckBox *>()->setChecked(false);
    QCOMPARE(editor(&dialog)->propertyLabel(Cost - 1)->text(), QStringLiteral("Cost (USD):"));
    QCOMPARE(editor(&dialog)->propertyLabel(Name - 1)->text(), QStringLiteral("Name:"));
}

void TestQuickAdd::hiddenQuickAddIsRemembered()
{
    {
        TaskDialog dialog(nullptr, nullptr, {}, {});
        QVERIFY(!dialog.findChild<DelayedEditLineEdit *>()->isHidden());
        dialog.findChild<QCheckBox *>()->setChecked(false);
        dialog.accept();
    }
    QVERIFY(settings()->hideQuickAdd());
    TaskDialog dialog(nullptr, nullptr, {}, {});
    QVERIFY(!dialog.findChild<QCheckBox *>()->isChecked());
    QVERIFY(dialog.findChild<DelayedEditLineEdit *>()->isHidden());
    QCOMPARE(dialog.focusWidget(), editor(&dialog)->valueCombo(0));
    QVERIFY(dialog.sizeHint().width() >= 650);
}

void TestQuickAdd::clickingTheGreyExampleKeepsTypedFields()
{
    TaskDialog dialog(nullptr, nullptr, {}, {});
    auto *line = dialog.findChild<DelayedEditLineEdit *>();
    QVERIFY(line->text().startsWith(QLatin1String("name=")));
    editor(&dialog)->valueCombo(Name - 1)->setEditText(QStringLiteral("Typed by hand"));
    dialog.show();
    QTest::mouseClick(line, Qt::LeftButton);
    line->flush();
    QCOMPARE(fieldText(&dialog, Name), QStringLiteral("Typed by hand"));
    // Erasing real terms still brings the defaults back.
    quickAdd(&dialog, QStringLiteral("n=x"));
    quickAdd(&dialog, QString());
    QCOMPARE(fieldText(&dialog, Name), QStringLiteral("Untitled"));
}

void TestQuickAdd::recordsFollowTheirPropertyAfterADeletion()
{
    TaskDialog dialog(nullptr, nullptr, {}, {});
    doc()->deleteProperty(Priority, true);
    doc()->addProperty(QStringLiteral("Owner"), QStringLiteral("me"), PropertyType::Text, {},
                       PropertyVisibility::Text, PropertyAppearance(), true);
    QCOMPARE(editor(&dialog)->rowCount(), 4);
    QCOMPARE(editor(&dialog)->propertyLabel(2)->text(), QStringLiteral("Cost (c):"));
    QCOMPARE(editor(&dialog)->propertyLabel(3)->text(), QStringLiteral("Owner:"));
    quickAdd(&dialog, QStringLiteral("c=7, d=today, o=you"));
    dialog.accept();
    QCOMPARE(doc()->taskValues(dialog.createdTaskIndex()),
             (QStringList {"Untitled", today(), "7", "me"}));
}

TAVROLO_TEST_MAIN(TestQuickAdd)
#include "tst_quickadd.moc"
