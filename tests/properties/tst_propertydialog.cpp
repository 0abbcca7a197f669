#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "storage/PlanFileReader.h"

#include <memory>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace {

// Property indexes of the plan every test starts from.
enum { Status = 1, Cost = 2, Due = 3 };

QStringList columnTexts(QTableWidget *table)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, 0) ? table->item(row, 0)->text() : QStringLiteral("<none>"));
    return texts;
}

int colorRow(QWidget *dialog, const QString &header)
{
    auto *table = child<QTableWidget>(dialog, "m_colorsTableWidget");
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->verticalHeaderItem(row)->text() == header)
            return row;
    }
    return -1;
}

// Clicks the row's swatch on the Colors page, where the user's click lands, and picks the
// colour in the colour dialog that opens; shownFirst takes the colour it opened on.
void pickColor(QWidget *dialog, int row, const QColor &color, QColor *shownFirst = nullptr)
{
    dialog->show();
    child<QTabWidget>(dialog, "m_tabWidget")->setCurrentIndex(PropertyDialog::ColorsPage);
    auto *table = child<QTableWidget>(dialog, "m_colorsTableWidget");
    const QModelIndex cell = table->model()->index(row, 0);
    QVERIFY(cell.isValid());
    table->scrollTo(cell);
    const QPoint point = table->visualRect(cell).center();
    QVERIFY(table->viewport()->rect().contains(point));
    QWidget *target = table->viewport()->childAt(point);
    if (!target)
        target = table->viewport();
    QString pickerClass;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *modal) {
        pickerClass = QString::fromLatin1(modal->metaObject()->className());
        if (auto *picker = qobject_cast<QColorDialog *>(modal)) {
            if (shownFirst)
                *shownFirst = picker->currentColor();
            picker->setCurrentColor(color);
        }
    });
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier,
                      target->mapFrom(table->viewport(), point));
    QVERIFY(answer.answered());
    QCOMPARE(pickerClass, QStringLiteral("QColorDialog"));
}

// Adds a pre-defined row and types the text into its editor, as the user does.
void typePredefinedValue(QWidget *dialog, const QString &text)
{
    // Editors open only in a view on show.
    dialog->show();
    child<QTabWidget>(dialog, "m_tabWidget")->setCurrentIndex(PropertyDialog::PredefinedValuesPage);
    child<QToolButton>(dialog, "m_addValueButton")->click();
    auto *table = child<QTableWidget>(dialog, "m_predefinedValuesTable");
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor commits once the key has been handled.
    QCoreApplication::processEvents();
    QVERIFY(!dialog->isHidden());
}

QStringList numbers(int from, int to)
{
    QStringList texts;
    for (int i = from; i <= to; ++i)
        texts.append(QString::number(i));
    return texts;
}

} // namespace

class TestPropertyDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nameIsCheckedBeforeAnythingChanges_data();
    void nameIsCheckedBeforeAnythingChanges();
    void binsPreview_data();
    void binsPreview();
    void predefinedRows();
    void colourAndOrderAreOneEditStep();
    void colourPickedAmongManyValuesIsTheOneChange();
    void binChoicesSurviveRebuilds_data();
    void binChoicesSurviveRebuilds();
    void addedPropertyShowsOnCardsOnlyWhenNoValueIsShown_data();
    void addedPropertyShowsOnCardsOnlyWhenNoValueIsShown();
    void indexOfNoUserPropertyChangesNothing_data();
    void indexOfNoUserPropertyChangesNothing();
    void deletingAsksUnlessSwitchedOff_data();
    void deletingAsksUnlessSwitchedOff();
    void untouchedOkKeepsLongTexts();
    void messagesShowNamesAsWritten();
    void unknownTypeIsKeptUnlessATypeIsPicked_data();
    void unknownTypeIsKeptUnlessATypeIsPicked();
};

// Status (text, pre-defined todo/doing/done), Cost (numeric), Due (date), three cards.
void TestPropertyDialog::init()
{
    settings()->clear();
    Document *plan = doc();
    plan->clear(false);
    plan->addProperty(QStringLiteral("Status"), QStringLiteral("todo"), PropertyType::Text,
                      {"todo", "doing", "done"}, PropertyVisibility::Text, PropertyAppearance(),
                      false);
    plan->addProperty(QStringLiteral("Cost"), QString(), PropertyType::Numeric, QStringList(),
                      PropertyVisibility::Hidden, PropertyAppearance(), false);
    plan->addProperty(QStringLiteral("Due"), QString(), PropertyType::Date, QStringList(),
                      PropertyVisibility::Hidden, PropertyAppearance(), false);
    const QList<QStringList> cards {
        {"todo", "5", "3/1/2025"}, {"doing", "12", "10/2/2025"}, {"done", "", ""}};
    for (const QStringList &card : cards)
        plan->addTaskWithValues({{Status, card.at(0)}, {Cost, card.at(1)}, {Due, card.at(2)}},
                                QString(), {}, -1, false);
}

void TestPropertyDialog::nameIsCheckedBeforeAnythingChanges_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString reserved = QStringLiteral("\"Notes\" is a reserved name.");
    QTest::newRow("empty") << -1 << "  "
                           << "Please provide a name for the property.";
    QTest::newRow("notes with blanks") << -1 << " notes " << reserved;
    QTest::newRow("NOTES renaming") << int(Cost) << "NOTES" << reserved;
    QTest::newRow("links with blanks")
        << -1 << " links " << QStringLiteral("\"Links\" is a reserved name.");
    QTest::newRow("IMAGES renaming")
        << int(Cost) << "IMAGES" << QStringLiteral("\"Images\" is a reserved name.");
    QTest::newRow("other letter case, add") << -1 << " STATUS "
                                            << "A property with the name 'STATUS' already exists.";
    QTest::newRow("other property's name") << int(Cost) << "due"
                                           << "A property with the name 'due' already exists.";
    QTest::newRow("own name in capitals") << int(Status) << "STATUS" << QString();
    QTest::newRow("30 characters") << -1 << QString(30, QLatin1Char('x')) << QString();
}

void TestPropertyDialog::nameIsCheckedBeforeAnythingChanges()
{
    QFETCH(int, property);
    QFETCH(QString, name);
    QFETCH(QString, message);
    PropertyDialog dialog(nullptr, property, PropertyDialog::PredefinedValuesPage);
    child<QLineEdit>(&dialog, "m_nameEdit")->setText(name);
    typePredefinedValue(&dialog, QStringLiteral("urgent"));
    DocumentRecorder recorder(*doc());
    if (message.isEmpty()) {
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const int index = property == -1 ? doc()->propertyCount() - 1 : property;
        QCOMPARE(doc()->propertyName(index), name.trimmed());
        QVERIFY(doc()->predefinedValues(index).contains(QStringLiteral("urgent")));
        QCOMPARE(recorder.undoTexts.size(), 1);
        return;
    }
    ModalAnswer answer(QStringLiteral("OK"));
    dialog.accept();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), message);
    QVERIFY(recorder.isSilent());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // Every edit is still there to be corrected.
    QCOMPARE(child<QLineEdit>(&dialog, "m_nameEdit")->text(), name);
    QVERIFY(columnTexts(child<QTableWidget>(&dialog, "m_predefinedValuesTable"))
                .contains(QStringLiteral("urgent")));
}

void TestPropertyDialog::binsPreview_data()
{
    QTest::addColumn<int>("declaredType");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("binSize");
    QTest::addColumn<QString>("preview");
    // Bin labels begin with a greater-or-equal sign.
    QTest::newRow("4 bins, all listed")
        << int(PropertyType::Numeric) << numbers(0, 39) << 10
        << QStringLiteral("Minimum=0, Maximum=39\n4 bins:\n\u22650 <10\n\u226510 <20\n"
                          "\u226520 <30\n\u226530 <40");
    QTest::newRow("5 bins, first two, ellipsis, last")
        << int(PropertyType::Numeric) << numbers(0, 49) << 10
        << QStringLiteral("Minimum=0, Maximum=49\n5 bins:\n\u22650 <10\n\u226510 <20\n\u2026\n"
                          "\u226540 <50");
    QTest::newRow("500 bins") << int(PropertyType::Numeric) << QStringList {"0", "100000"} << 1
                              << QStringLiteral("Minimum=0, Maximum=100000\n500 bins (maximum "
                                                "allowed):\n\u22650 <1\n\u22651 <2\n\u2026\n"
                                                "\u2265499 <100001");
    // The cards of the plan without a value count as 0.
    QTest::newRow("automatic numbers are binned")
        << int(PropertyType::Automatic) << QStringList {"7", "12", "30"} << 20
        << QStringLiteral("Minimum=0, Maximum=30\n2 bins:\n\u22650 <20\n\u226520 <40");
    QTest::newRow("new property") << int(PropertyType::Numeric) << QStringList() << 10
                                  << QStringLiteral("Minimum=0, Maximum=0\n1 bin:\n\u22650 <10");
    QTest::newRow("no dates") << int(PropertyType::Date) << QStringList {"soon", ""} << 10
                              << QStringLiteral("No dates defined");
}

void TestPropertyDialog::binsPreview()
{
    QFETCH(int, declaredType);
    QFETCH(QStringList, values);
    QFETCH(int, binSize);
    QFETCH(QString, preview);
    Document *plan = doc();
    plan->addProperty(QStringLiteral("Amount"), QString(), declaredType, QStringList(),
                      PropertyVisibility::Hidden, PropertyAppearance(), false);
    const int amount = plan->propertyCount() - 1;
    for (const QString &value : values)
        plan->addTaskWithValues({{amount, value}}, QString(), {}, -1, false);
    // A new property has no card values: it previews what the add dialog shows.
    const int index = values.isEmpty() ? -1 : amount;
    PropertyDialog dialog(nullptr, index, PropertyDialog::OrderingPage);
    if (index == -1)
        child<QComboBox>(&dialog, "m_userTypeComboBox")->setCurrentIndex(declaredType);
    child<QSpinBox>(&dialog, "m_numericalBinSizeSpinBox")->setValue(binSize);
    QCOMPARE(child<QLabel>(&dialog, "m_exampleLabel")->text(), preview);
    if (declaredType == PropertyType::Numeric || declaredType == PropertyType::Automatic)
        QCOMPARE(colorRow(&dialog, QStringLiteral("Maximum")), 1);
}

void TestPropertyDialog::predefinedRows()
{
    PropertyDialog dialog(nullptr, Status, PropertyDialog::PredefinedValuesPage);
    auto *table = child<QTableWidget>(&dialog, "m_predefinedValuesTable");
    QCOMPARE(columnTexts(table), QStringList({"todo", "done", "doing"}));
    // A typed row takes its place in the descending order; an untyped one stays last.
    typePredefinedValue(&dialog, QStringLiteral("later"));
    child<QToolButton>(&dialog, "m_addValueButton")->click();
    QCOMPARE(columnTexts(table), QStringList({"todo", "later", "done", "doing", "<none>"}));
    typePredefinedValue(&dialog, QStringLiteral("erased"));
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(!editor || !editor->isVisible());
    const int erased = columnTexts(table).indexOf(QStringLiteral("erased"));
    table->setCurrentCell(erased, 0);
    editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    // The new values reach the other pages at once.
    QVERIFY(colorRow(&dialog, QStringLiteral("later")) != -1);
    dialog.accept();
    QCOMPARE(doc()->predefinedValues(Status), QStringList({"", "doing", "done", "later", "todo"}));
}

void TestPropertyDialog::colourAndOrderAreOneEditStep()
{
    const QColor chosen(12, 34, 56);
    DocumentRecorder recorder(*doc());
    PropertyDialog dialog(nullptr, Status, PropertyDialog::ColorsPage);
    pickColor(&dialog, colorRow(&dialog, QStringLiteral("doing")), chosen);
    auto *ordering = child<QTableWidget>(&dialog, "m_orderingTable");
    QCOMPARE(columnTexts(ordering), QStringList({"todo", "doing", "done"}));
    ordering->selectRow(2);
    child<QToolButton>(&dialog, "m_topButton")->click();
    QCOMPARE(columnTexts(ordering), QStringList({"done", "todo", "doing"}));
    ordering->selectRow(1);
    child<QToolButton>(&dialog, "m_bottomButton")->click();
    QCOMPARE(columnTexts(ordering), QStringList({"done", "doing", "todo"}));
    QVERIFY(!child<QToolButton>(&dialog, "m_downButton")->isEnabled());
    QVERIFY(recorder.isSilent());
    dialog.accept();
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::PropertyChanged}}));
    PropertyAppearance stored = doc()->propertyAppearance(Status);
    QCOMPARE(stored.colorForText(QStringLiteral("doing")), chosen);
    QCOMPARE(stored.textOrder(), QStringList({"done", "doing", "todo"}));
    QCOMPARE(doc()->values(Status, ValueListOptions().withoutEmpty()),
             QStringList({"done", "doing", "todo"}));
}

// A property with another value on every card of a large plan: its colour list is drawn by
// the list itself, with no widget per value; a click on a row far down opens the picker on
// that row's colour, the row shows the colour picked, and OK stores it as the one change.
void TestPropertyDialog::colourPickedAmongManyValuesIsTheOneChange()
{
    constexpr int Cards = 50000;
    Document *plan = doc();
    plan->addProperty(QStringLiteral("Name"), QString(), PropertyType::Automatic, QStringList(),
                      PropertyVisibility::Text, PropertyAppearance(), false);
    const int name = plan->propertyCount() - 1;
    QVector<QString> names;
    for (int card = 0; card < Cards; ++card)
        names.append(QStringLiteral("Card %1").arg(card));
    for (TaskIndex card = 0; card < plan->taskCount(); ++card)
        plan->setValue(card, name, names[card], false);
    QVector<QVector<QString>> columns(plan->propertyCount());
    columns[name] = names.mid(plan->taskCount());
    plan->appendCards(QVector<Task>(columns.at(name).size()).toList(), columns);
    QCOMPARE(plan->taskCount(), Cards);
    // Every value has its colour and its place in the order already, as after a first OK, so
    // the dialog has nothing of its own to add.
    PropertyAppearance &appearance = plan->editablePropertyAppearance(name, TestPlanKey::key());
    for (int card = 0; card < Cards; ++card)
        appearance.setTextColor(names.at(card), PropertyAppearance::defaultTextColor(card));
    appearance.setTextOrder(names.toList());
    const Document before(*plan);

    // As many widgets as the dialog of a property of three values has.
    PropertyDialog small(nullptr, Status, PropertyDialog::ColorsPage);
    small.show();
    QVERIFY(QTest::qWaitForWindowExposed(&small));
    const int smallWidgets = small.findChildren<QWidget *>().size();
    small.reject();

    DocumentRecorder recorder(*plan);
    PropertyDialog dialog(nullptr, name, PropertyDialog::PredefinedValuesPage);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    child<QTabWidget>(&dialog, "m_tabWidget")->setCurrentIndex(PropertyDialog::ColorsPage);
    QCoreApplication::processEvents();
    auto *table = child<QTableWidget>(&dialog, "m_colorsTableWidget");
    QCOMPARE(table->rowCount(), Cards);
    QCOMPARE(dialog.findChildren<QWidget *>().size(), smallWidgets);

    const QString picked = QStringLiteral("Card 31415");
    const int row = colorRow(&dialog, picked);
    QVERIFY(row > 1000);
    const QColor chosen(12, 34, 56);
    QColor shownFirst;
    pickColor(&dialog, row, chosen, &shownFirst);
    QCOMPARE(shownFirst, PropertyAppearance::defaultTextColor(31415));
    QCoreApplication::processEvents();
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    const QImage shot = table->viewport()->grab().toImage();
    QCOMPARE(QColor(shot.pixel(cell.left() + 8, cell.center().y())), chosen);
    QVERIFY(recorder.isSilent());

    child<QDialogButtonBox>(&dialog, "m_buttonBox")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.undoTexts, QStringList({"Edit Property"}));
    QCOMPARE(plan->propertyAppearance(name).textColors().value(picked), chosen);
    // Put back, the one colour leaves the plan as it was.
    Document after(*plan);
    after.editablePropertyAppearance(name, TestPlanKey::key())
        .setTextColor(picked, PropertyAppearance::defaultTextColor(31415));
    QVERIFY(after == before);
}

void TestPropertyDialog::binChoicesSurviveRebuilds_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<QString>("rebuild");
    for (const char *rebuild : {"default value", "pre-defined row", "type switch"}) {
        QTest::newRow(qPrintable(QStringLiteral("numeric, %1").arg(rebuild)))
            << int(Cost) << rebuild;
        QTest::newRow(qPrintable(QStringLiteral("date, %1").arg(rebuild))) << int(Due) << rebuild;
    }
}

// The colours, bin size and empty-bin choice of the numeric and date pages were put back to
// the stored ones by any edit that refills the pages.
void TestPropertyDialog::binChoicesSurviveRebuilds()
{
    QFETCH(int, property);
    QFETCH(QString, rebuild);
    const QColor chosen(1, 2, 3);
    PropertyDialog dialog(nullptr, property, PropertyDialog::OrderingPage);
    pickColor(&dialog, 1, chosen);
    child<QCheckBox>(&dialog, "m_showEmptyBinsCheckBox")->setChecked(false);
    if (property == Cost)
        child<QSpinBox>(&dialog, "m_numericalBinSizeSpinBox")->setValue(25);
    else
        child<QComboBox>(&dialog, "m_dateBinSizeComboBox")->setCurrentIndex(2);

    auto *type = child<QComboBox>(&dialog, "m_userTypeComboBox");
    if (rebuild == QLatin1String("default value")) {
        auto *edit = child<DelayedEditLineEdit>(&dialog, "m_defaultValueEdit");
        edit->setText(QStringLiteral("1"));
        edit->flush();
    } else if (rebuild == QLatin1String("pre-defined row")) {
        typePredefinedValue(&dialog, QStringLiteral("1"));
    } else {
        const int declared = type->currentIndex();
        type->setCurrentIndex(PropertyType::Text);
        type->setCurrentIndex(declared);
    }
    QCOMPARE(child<QCheckBox>(&dialog, "m_showEmptyBinsCheckBox")->isChecked(), false);
    dialog.accept();
    const PropertyAppearance stored = doc()->propertyAppearance(property);
    QCOMPARE(stored.showEmpty(), false);
    if (property == Cost) {
        QCOMPARE(stored.maxColor(), chosen);
        QCOMPARE(stored.binSize(), 25);
    } else {
        QCOMPARE(stored.colorForDate(DateBucket::Today), chosen);
        QCOMPARE(stored.dateBinSize(), 2);
    }
}

void TestPropertyDialog::addedPropertyShowsOnCardsOnlyWhenNoValueIsShown_data()
{
    QTest::addColumn<int>("statusVisibility");
    QTest::addColumn<int>("expected");
    QTest::newRow("Status as text")
        << int(PropertyVisibility::Text) << int(PropertyVisibility::Hidden);
    QTest::newRow("Status in italics")
        << int(PropertyVisibility::ItalicText) << int(PropertyVisibility::Hidden);
    QTest::newRow("Status as a symbol")
        << int(PropertyVisibility::Star) << int(PropertyVisibility::Text);
}

void TestPropertyDialog::addedPropertyShowsOnCardsOnlyWhenNoValueIsShown()
{
    QFETCH(int, statusVisibility);
    QFETCH(int, expected);
    doc()->setPropertyVisibility(Status, statusVisibility, false);
    DocumentRecorder recorder(*doc());
    PropertyDialog dialog(nullptr, -1, PropertyDialog::PredefinedValuesPage);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Property"));
    child<QLineEdit>(&dialog, "m_nameEdit")->setText(QStringLiteral("Effort"));
    child<QComboBox>(&dialog, "m_userTypeComboBox")->setCurrentIndex(PropertyType::Numeric);
    child<DelayedEditLineEdit>(&dialog, "m_defaultValueEdit")->setText(QStringLiteral("3"));
    dialog.accept();
    QCOMPARE(recorder.undoTexts, QStringList({"Add Property"}));
    const int added = doc()->propertyCount() - 1;
    QCOMPARE(doc()->propertyName(added), QStringLiteral("Effort"));
    QCOMPARE(doc()->propertyType(added), int(PropertyType::Numeric));
    QCOMPARE(doc()->value(0, added), QStringLiteral("3"));
    QCOMPARE(doc()->propertyVisibility(added), expected);
}

void TestPropertyDialog::indexOfNoUserPropertyChangesNothing_data()
{
    QTest::addColumn<int>("property");
    QTest::newRow("<select> placeholder") << 0;
    QTest::newRow("<cards>") << 4;
    QTest::newRow("past the list") << 9;
    QTest::newRow("below -1") << -2;
}

void TestPropertyDialog::indexOfNoUserPropertyChangesNothing()
{
    QFETCH(int, property);
    const Document before(*doc());
    DocumentRecorder recorder(*doc());
    PropertyDialog dialog(nullptr, property, PropertyDialog::ColorsPage);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    child<QLineEdit>(&dialog, "m_nameEdit")->setText(QStringLiteral("Renamed"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    for (const QPushButton *button : dialog.findChildren<QPushButton *>())
        QVERIFY(button->text() != QLatin1String("Delete Property"));
    QVERIFY(recorder.isSilent());
    QVERIFY(*doc() == before);
}

void TestPropertyDialog::deletingAsksUnlessSwitchedOff_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("switched off") << false << QString() << true;
    QTest::newRow("asked, OK") << true << "OK" << true;
    QTest::newRow("asked, Cancel") << true << "Cancel" << false;
}

void TestPropertyDialog::deletingAsksUnlessSwitchedOff()
{
    QFETCH(bool, ask);
    QFETCH(QString, answer);
    QFETCH(bool, deleted);
    settings()->write(Settings::Key::ShowWarningDelProperty, ask);
    PropertyDialog dialog(nullptr, Cost, PropertyDialog::PredefinedValuesPage);
    // The question names the stored name, not the one being typed.
    child<QLineEdit>(&dialog, "m_nameEdit")->setText(QStringLiteral("Price"));
    DocumentRecorder recorder(*doc());
    QPushButton *deleteButton = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Delete Property"))
            deleteButton = button;
    }
    QVERIFY(deleteButton);
    std::unique_ptr<ModalAnswer> box;
    if (ask)
        box = std::make_unique<ModalAnswer>(answer);
    deleteButton->click();
    if (ask) {
        QVERIFY(box->answered());
        QCOMPARE(box->shownText(), QStringLiteral("Delete property 'Cost' from all cards?"));
    }
    QCOMPARE(doc()->propertyIndex(QStringLiteral("Cost")) == -1, deleted);
    QCOMPARE(recorder.undoTexts, deleted ? QStringList({"Delete Property"}) : QStringList());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // The geometry is kept only by OK.
    QVERIFY(!settings()->contains(Settings::keyName(Settings::Key::PropertyWindowGeometry)));
}

// A plan file may hold a name longer than the name field takes and values longer than any
// line edit takes by default; opening the dialog and pressing OK keeps them whole.
void TestPropertyDialog::untouchedOkKeepsLongTexts()
{
    Document *plan = doc();
    const QString longName = QStringLiteral("Status of the work, as agreed today");
    const QString longValue = QStringLiteral("0123456789").repeated(4000);
    const QStringList predefined {longValue, QStringLiteral("todo")};
    plan->editProperty(Status, longName, longValue, PropertyType::Text, predefined,
                       plan->propertyAppearance(Status), false);
    PropertyDialog dialog(nullptr, Status, PropertyDialog::PredefinedValuesPage);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The user opens the long pre-defined value's cell and leaves it with Return.
    auto *table = child<QTableWidget>(&dialog, "m_predefinedValuesTable");
    QTableWidgetItem *longRow = nullptr;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0) && table->item(row, 0)->text() == longValue)
            longRow = table->item(row, 0);
    }
    QVERIFY(longRow);
    table->editItem(longRow);
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();

    DocumentRecorder recorder(*plan);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
    QCOMPARE(plan->propertyName(Status), longName);
    QCOMPARE(plan->propertyDefaultValue(Status), longValue);
    QCOMPARE(plan->predefinedValues(Status), (QStringList {longValue, QStringLiteral("todo")}));
    QCOMPARE(plan->propertyName(Cost), QStringLiteral("Cost"));
}

// Property names go into the dialog's messages as written: markup is text, "%1" stays.
void TestPropertyDialog::messagesShowNamesAsWritten()
{
    const QString name = QStringLiteral("<b>x</b>%1");
    doc()->setPropertyName(Status, name, false);
    PropertyDialog dialog(nullptr, Cost, PropertyDialog::PredefinedValuesPage);
    child<QLineEdit>(&dialog, "m_nameEdit")->setText(QStringLiteral("<B>X</B>%1"));
    {
        ModalAnswer answer(QStringLiteral("OK"));
        dialog.accept();
        QVERIFY(answer.answered());
        QCOMPARE(answer.shownText(),
                 QStringLiteral("A property with the name '<B>X</B>%1' already exists."));
        QVERIFY(!answer.shownAsMarkup());
    }
    PropertyDialog deleting(nullptr, Status, PropertyDialog::PredefinedValuesPage);
    QPushButton *deleteButton = nullptr;
    for (QPushButton *button : deleting.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Delete Property"))
            deleteButton = button;
    }
    QVERIFY(deleteButton);
    ModalAnswer answer(QStringLiteral("Cancel"));
    deleteButton->click();
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), QStringLiteral("Delete property '<b>x</b>%1' from all cards?"));
    QVERIFY(!answer.shownAsMarkup());
    QCOMPARE(doc()->propertyName(Status), name);
    QCOMPARE(doc()->propertyName(Cost), QStringLiteral("Cost"));
}

void TestPropertyDialog::unknownTypeIsKeptUnlessATypeIsPicked_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<int>("stored");
    QTest::newRow("plain OK") << "Kind" << QStringList() << 7;
    QTest::newRow("plain OK, negative") << "Size" << QStringList() << -2;
    QTest::newRow("a type picked") << "Kind" << QStringList {"Text"} << int(PropertyType::Text);
    QTest::newRow("Automatic picked after another")
        << "Kind" << QStringList {"Date", "Automatic"} << int(PropertyType::Automatic);
}

// A plan file may declare a type outside 0..3; the reader keeps it, and so does the dialog
// until the user picks a type.
void TestPropertyDialog::unknownTypeIsKeptUnlessATypeIsPicked()
{
    QFETCH(QString, property);
    QFETCH(QStringList, picked);
    QFETCH(int, stored);
    QString error;
    QVERIFY2(readPlanFile(*doc(), TAVROLO_SOURCE_DIR "/tests/storage/data/unknown_codes.tv", &error,
                          nullptr),
             qPrintable(error));
    const int index = doc()->propertyIndex(property);
    const QList<int> typesBefore {doc()->propertyType(1), doc()->propertyType(2),
                                  doc()->propertyType(3)};
    QCOMPARE(typesBefore, (QList<int> {7, -2, PropertyType::Text}));
    PropertyDialog dialog(nullptr, index, PropertyDialog::PredefinedValuesPage);
    auto *type = child<QComboBox>(&dialog, "m_userTypeComboBox");
    QCOMPARE(type->currentText(), QStringLiteral("Automatic"));
    for (const QString &entry : picked)
        type->setCurrentText(entry);
    DocumentRecorder recorder(*doc());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.undoTexts, QStringList {"Edit Property"});
    QList<int> types = typesBefore;
    types[index - 1] = stored;
    QCOMPARE((QList<int> {doc()->propertyType(1), doc()->propertyType(2), doc()->propertyType(3)}),
             types);
    QCOMPARE(doc()->propertyName(index), property);
    QCOMPARE(doc()->propertyDefaultValue(1), QStringLiteral("k"));
}

TAVROLO_TEST_MAIN(TestPropertyDialog)
#include "tst_propertydialog.moc"
