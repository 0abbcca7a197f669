#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"
#include "leftpane/CardsFilterWidget.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>

Q_DECLARE_METATYPE(QList<FilterTerm>)

namespace {

QList<FilterTerm> words(const QStringList &values)
{
    QList<FilterTerm> terms;
    for (const QString &value : values)
        terms << FilterTerm(0, MatchType::Contains, value);
    return terms;
}

// Beyond the field's pause and the section's own, with room to spare.
int twoPauses()
{
    return 2 * filterDelayMs() + 1500;
}

} // namespace

class TestCardsFilterWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void basicWordsApplyAfterTwoPauses_data();
    void basicWordsApplyAfterTwoPauses();
    void advancedRowsApplyAndExplain();
    void explainerListsFiveTermsThenEllipsis();
    void deletedPropertyDropsItsRowWithoutWriting();
    void switchingModeAppliesAtOnce();
    void reloadDiscardsPendingTyping_data();
    void reloadDiscardsPendingTyping();
    void storedBasicFilterShowsItsWords();
    void reorderedRowsStayOnTheirProperty_data();
    void reorderedRowsStayOnTheirProperty();
    void longTermValueSurvivesAnotherEdit();
    void termsItCannotNameAreWrittenBackAsRead_data();
    void termsItCannotNameAreWrittenBackAsRead();

private:
    QWidget *widget() const { return m_widget.get(); }
    QString explainer() const { return child<QLabel>(widget(), "m_explainerLabel")->text(); }
    void type(QWidget *field, const QString &text);

    std::unique_ptr<CardsFilterWidget> m_widget;
    std::unique_ptr<QSignalSpy> m_filtered;
};

// Name, Status, Cost and Due, three cards; the section connected as the pane connects it.
void TestCardsFilterWidget::init()
{
    // A quarter of the designed pauses; the waits below are shares of them.
    setFilterDelayScale(0.25);
    settings()->clear();
    PlanFixture::fillPlan(*doc(), {{"Fix bug", "todo"}, {"New ui", "done"}, {"Docs", "todo"}});
    m_widget = std::make_unique<CardsFilterWidget>();
    m_filtered = std::make_unique<QSignalSpy>(m_widget.get(), &CardsFilterWidget::filteredOnOff);
    connect(doc(), &Document::changed, m_widget.get(), &CardsFilterWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
    m_filtered->clear();
}

void TestCardsFilterWidget::cleanup()
{
    m_filtered.reset();
    m_widget.reset();
}

void TestCardsFilterWidget::type(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

void TestCardsFilterWidget::basicWordsApplyAfterTwoPauses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("terms");
    QTest::addColumn<QString>("explanation");
    QTest::newRow("two words")
        << "bug ui" << QStringList({"bug", "ui"})
        << "SHOW (Any Property or Notes Contains \"bug\") OR (Any Property or Notes Contains "
           "\"ui\")";
    QTest::newRow("double space, case kept")
        << "Bug  UI" << QStringList({"Bug", "UI"})
        << "SHOW (Any Property or Notes Contains \"Bug\") OR (Any Property or Notes Contains "
           "\"UI\")";
    QTest::newRow("blanks only") << "   " << QStringList() << "No filtering";
}

void TestCardsFilterWidget::basicWordsApplyAfterTwoPauses()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, terms);
    QFETCH(QString, explanation);
    DocumentRecorder recorder(*doc());
    type(child<QLineEdit>(widget(), "m_basicLineEdit"), typed);
    // One pause is not enough.
    QTest::qWait(filterDelayMs() * 3 / 2);
    QVERIFY(recorder.isSilent());
    QTRY_COMPARE_WITH_TIMEOUT(recorder.undoTexts, QStringList({"Change Filter"}), twoPauses());
    QCOMPARE(recorder.eventTypes(), QList<QList<int>>({{EventType::FilterChanged}}));
    QCOMPARE(doc()->filterTerms(), words(terms));
    QVERIFY(doc()->filterBasic());
    QVERIFY(doc()->filterMatchAny());
    QVERIFY(doc()->filterShowsMatching());
    QCOMPARE(explainer(), explanation);
    QCOMPARE(m_filtered->last().first().toBool(), !terms.isEmpty());
    QVERIFY(child<QPushButton>(widget(), "m_basicClearButton")->isVisible());

    // Hide applies at once with the words in the field.
    recorder.clear();
    child<QComboBox>(widget(), "m_basicShowHideCombo")->setCurrentIndex(1);
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    QVERIFY(!doc()->filterShowsMatching());
    QCOMPARE(explainer().startsWith("HIDE "), !terms.isEmpty());
}

void TestCardsFilterWidget::advancedRowsApplyAndExplain()
{
    DocumentRecorder recorder(*doc());
    child<QRadioButton>(widget(), "m_advancedRadioButton")->click();
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    QVERIFY(!doc()->filterBasic());
    QCOMPARE(explainer(), QStringLiteral("No filtering"));
    auto *table = child<QTableWidget>(widget(), "m_filterTable");
    auto *matching = child<QComboBox>(widget(), "m_advancedMatchingCombo");
    auto *deleteAll = child<QToolButton>(widget(), "m_deleteAllFilterButton");
    auto *deleteSelected = child<QToolButton>(widget(), "m_deleteFilterToolButton");
    QVERIFY(!matching->isEnabled());
    QVERIFY(!deleteAll->isEnabled());

    // A new row writes nothing until it is changed; then its empty value is a term.
    recorder.clear();
    child<QToolButton>(widget(), "m_addFilterToolButton")->click();
    QCOMPARE(table->rowCount(), 1);
    QVERIFY(recorder.isSilent());
    QVERIFY(deleteAll->isEnabled());
    QVERIFY(!matching->isEnabled());
    qobject_cast<QComboBox *>(table->cellWidget(0, 1))->setCurrentIndex(MatchType::IsNot);
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    QCOMPARE(doc()->filterTerms(), QList<FilterTerm>({FilterTerm(0, MatchType::IsNot, "")}));
    QCOMPARE(explainer(), QStringLiteral("SHOW (Any Property or Notes Is not \"\")"));
    QVERIFY(m_filtered->last().first().toBool());

    // A value applies after one pause, trimmed and in lower case; the editor keeps what was
    // typed, as the section does not reload on its own change.
    recorder.clear();
    child<QToolButton>(widget(), "m_addFilterToolButton")->click();
    QVERIFY(matching->isEnabled());
    qobject_cast<QComboBox *>(table->cellWidget(1, 0))->setCurrentIndex(PlanFixture::Status);
    auto *value = qobject_cast<QLineEdit *>(table->cellWidget(1, 2));
    type(value, QStringLiteral(" TODO "));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.undoTexts.size(), 2, filterDelayMs() + 1500);
    QCOMPARE(doc()->filterTerms().last(),
             FilterTerm(PlanFixture::Status, MatchType::Contains, "todo"));
    QCOMPARE(value->text(), QStringLiteral(" TODO "));
    matching->setCurrentIndex(1);
    QVERIFY(doc()->filterMatchAny());
    QCOMPARE(explainer(),
             QStringLiteral("SHOW (Any Property or Notes Is not \"\") OR (Status "
                            "Contains \"todo\")"));

    // Deleting the selected row applies at once and selects its neighbour.
    recorder.clear();
    table->clearSelection();
    QVERIFY(!deleteSelected->isEnabled());
    table->selectRow(0);
    QVERIFY(deleteSelected->isEnabled());
    deleteSelected->click();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(doc()->filterTerms(),
             QList<FilterTerm>({FilterTerm(PlanFixture::Status, MatchType::Contains, "todo")}));
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    deleteAll->click();
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(doc()->filterTerms().isEmpty());
    QVERIFY(!m_filtered->last().first().toBool());
}

void TestCardsFilterWidget::explainerListsFiveTermsThenEllipsis()
{
    QList<FilterTerm> terms;
    for (int i = 1; i <= 6; ++i)
        terms << FilterTerm(i % 2 ? PlanFixture::Name : 0, MatchType::Is, QString::number(i));
    doc()->setFilter(false, true, false, terms, false, false);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(child<QTableWidget>(widget(), "m_filterTable")->rowCount(), 6);
    QCOMPARE(explainer(),
             QString::fromUtf8("SHOW (Name Is \"1\") AND (Any Property or Notes Is \"2\") AND "
                               "(Name Is \"3\") AND (Any Property or Notes Is \"4\") AND (Name "
                               "Is \"5\") AND …"));
    QVERIFY(m_filtered->last().first().toBool());
}

void TestCardsFilterWidget::deletedPropertyDropsItsRowWithoutWriting()
{
    doc()->setFilter(false, true, false,
                     {FilterTerm(PlanFixture::Status, MatchType::Contains, "todo"),
                      FilterTerm(PlanFixture::Cost, MatchType::GreaterThan, "3")},
                     false, false);
    doc()->emitChanged(EventType::AllChanged);
    auto *table = child<QTableWidget>(widget(), "m_filterTable");
    DocumentRecorder recorder(*doc());
    doc()->deleteProperty(PlanFixture::Status, true);
    QCOMPARE(recorder.undoTexts, QStringList({"Delete Property"}));
    QCOMPARE(table->rowCount(), 1);
    auto *property = qobject_cast<QComboBox *>(table->cellWidget(0, 0));
    QCOMPARE(property->currentText(), QStringLiteral("Cost"));
    QCOMPARE(property->count(), doc()->propertyCount());
    QCOMPARE(explainer(), QStringLiteral("SHOW (Cost Greater than \"3\")"));
    QVERIFY(!child<QComboBox>(widget(), "m_advancedMatchingCombo")->isEnabled());
}

void TestCardsFilterWidget::switchingModeAppliesAtOnce()
{
    doc()->setFilter(false, true, true,
                     {FilterTerm(PlanFixture::Status, MatchType::Contains, "todo")}, false, false);
    doc()->emitChanged(EventType::AllChanged);
    DocumentRecorder recorder(*doc());
    child<QRadioButton>(widget(), "m_basicRadioButton")->click();
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    QVERIFY(doc()->filterBasic());
    QVERIFY(doc()->filterTerms().isEmpty());
    QCOMPARE(explainer(), QStringLiteral("No filtering"));
    QVERIFY(!m_filtered->last().first().toBool());
    // The advanced editor kept its row.
    QCOMPARE(child<QTableWidget>(widget(), "m_filterTable")->rowCount(), 1);
}

// A term value longer than a line edit takes by default stays whole when another control
// of the section is changed.
void TestCardsFilterWidget::longTermValueSurvivesAnotherEdit()
{
    const QString longValue = QStringLiteral("0123456789").repeated(4000);
    doc()->setFilter(false, true, true, {FilterTerm(PlanFixture::Name, MatchType::Is, longValue)},
                     false, false);
    doc()->emitChanged(EventType::AllChanged);
    DocumentRecorder recorder(*doc());
    child<QComboBox>(widget(), "m_advancedShowHideCombo")->setCurrentIndex(1);
    QCOMPARE(recorder.undoTexts, QStringList({"Change Filter"}));
    QVERIFY(!doc()->filterShowsMatching());
    QCOMPARE(doc()->filterTerms(),
             (QList<FilterTerm> {FilterTerm(PlanFixture::Name, MatchType::Is, longValue)}));
}

void TestCardsFilterWidget::termsItCannotNameAreWrittenBackAsRead_data()
{
    // The user's edit, and the terms then stored. As read: (9, 1, "Far "), (1, 8, "b") and
    // (2, 0, "c"); Kind, Size and Name are the properties 1 to 3.
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("terms");
    QTest::newRow("another control") << "hide" << QStringList {"9 1 Far ", "1 8 b", "2 0 c"};
    QTest::newRow("the row's match picked")
        << "match" << QStringList {"9 1 Far ", "1 2 b", "2 0 c"};
    QTest::newRow("the row's value typed") << "value" << QStringList {"9 1 farx", "1 8 b", "2 0 c"};
    QTest::newRow("the row's property picked")
        << "property" << QStringList {"3 1 Far ", "1 8 b", "2 0 c"};
    QTest::newRow("a property deleted, then another control")
        << "delete" << QStringList {"8 1 Far ", "1 8 b"};
}

// A plan file may hold filter terms on a property or a match type past the range: the row
// shows what it can, and the term is written back as read, field by field, until the user
// edits that field.
void TestCardsFilterWidget::termsItCannotNameAreWrittenBackAsRead()
{
    QFETCH(QString, edit);
    QFETCH(QStringList, terms);
    QString error;
    QVERIFY2(readPlanFile(*doc(), TAVROLO_SOURCE_DIR "/tests/storage/data/unknown_codes.tv", &error,
                          nullptr),
             qPrintable(error));
    doc()->emitChanged(EventType::AllChanged);
    auto *table = child<QTableWidget>(widget(), "m_filterTable");
    QCOMPARE(table->rowCount(), 3);
    const auto combo = [table](int row, int column) {
        return qobject_cast<QComboBox *>(table->cellWidget(row, column));
    };
    QCOMPARE(combo(0, 0)->currentIndex(), -1);
    QCOMPARE(combo(0, 1)->currentText(), QStringLiteral("Doesn't contain"));
    QCOMPARE(combo(1, 0)->currentText(), QStringLiteral("Kind"));
    QCOMPARE(combo(1, 1)->currentIndex(), -1);

    DocumentRecorder recorder(*doc());
    if (edit == QLatin1String("hide")) {
        child<QComboBox>(widget(), "m_advancedShowHideCombo")->setCurrentIndex(1);
    } else if (edit == QLatin1String("match")) {
        combo(1, 1)->setCurrentIndex(MatchType::Is);
    } else if (edit == QLatin1String("property")) {
        combo(0, 0)->setCurrentText(QStringLiteral("Name"));
    } else if (edit == QLatin1String("value")) {
        auto *value = qobject_cast<QLineEdit *>(table->cellWidget(0, 2));
        value->setFocus();
        value->end(false);
        QTest::keyClick(value, Qt::Key_Backspace);
        QTest::keyClicks(value, QStringLiteral("x"));
        QTRY_VERIFY_WITH_TIMEOUT(!recorder.undoTexts.isEmpty(), twoPauses());
    } else {
        doc()->deleteProperty(2, true);
        QCOMPARE(table->rowCount(), 2);
        recorder.clear();
        child<QComboBox>(widget(), "m_advancedMatchingCombo")->setCurrentIndex(1);
    }
    QCOMPARE(recorder.undoTexts, QStringList {"Change Filter"});
    QStringList stored;
    for (const FilterTerm &term : doc()->filterTerms())
        stored.append(
            QStringLiteral("%1 %2 %3").arg(term.propertyIndex).arg(term.matchType).arg(term.value));
    QCOMPARE(stored, terms);
}

void TestCardsFilterWidget::reloadDiscardsPendingTyping_data()
{
    QTest::addColumn<bool>("fieldReported");
    QTest::newRow("within the field's pause") << false;
    QTest::newRow("within the section's pause") << true;
}

// Undo within the pause: the typing must not come back afterwards as a "Change Filter" step,
// which would also throw away the redo.
void TestCardsFilterWidget::reloadDiscardsPendingTyping()
{
    QFETCH(bool, fieldReported);
    auto *field = child<DelayedEditLineEdit>(widget(), "m_basicLineEdit");
    QSignalSpy reported(field, &DelayedEditLineEdit::delayedEditTextChanged);
    const Document before(*doc());
    DocumentRecorder recorder(*doc());
    type(field, QStringLiteral("bug"));
    if (fieldReported)
        QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 1, filterDelayMs() + 1500);
    QVERIFY(recorder.isSilent());
    *doc() = before;
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(field->text(), QString());
    QTest::qWait(3 * filterDelayMs());
    QCOMPARE(recorder.undoTexts, QStringList());
    QVERIFY(doc()->filterTerms().isEmpty());
}

void TestCardsFilterWidget::storedBasicFilterShowsItsWords()
{
    doc()->setFilter(
        true, false, true,
        {FilterTerm(PlanFixture::Status, MatchType::Is, "todo"), FilterTerm(0, 0, "Fix")}, false,
        false);
    DocumentRecorder recorder(*doc());
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(child<QLineEdit>(widget(), "m_basicLineEdit")->text(), QStringLiteral("todo Fix"));
    QVERIFY(child<QRadioButton>(widget(), "m_basicRadioButton")->isChecked());
    QCOMPARE(child<QComboBox>(widget(), "m_basicShowHideCombo")->currentIndex(), 1);
    QVERIFY(child<QPushButton>(widget(), "m_basicClearButton")->isVisible());
    QVERIFY(m_filtered->last().first().toBool());
    QTest::qWait(3 * filterDelayMs());
    QCOMPARE(recorder.undoTexts, QStringList());
}

void TestCardsFilterWidget::reorderedRowsStayOnTheirProperty_data()
{
    QTest::addColumn<bool>("basic");
    // The advanced rows kept while the basic editor is in force.
    QTest::newRow("rows kept in basic mode") << true;
    // Advanced, no stored term names a property: nothing to reload.
    QTest::newRow("advanced row on <Any>") << false;
}

// After a re-order a row names the property it named before and applies to that property.
void TestCardsFilterWidget::reorderedRowsStayOnTheirProperty()
{
    QFETCH(bool, basic);
    auto *table = child<QTableWidget>(widget(), "m_filterTable");
    if (basic) {
        doc()->setFilter(false, true, false,
                         {FilterTerm(PlanFixture::Status, MatchType::Contains, "todo")}, false,
                         false);
        doc()->emitChanged(EventType::AllChanged);
        child<QRadioButton>(widget(), "m_basicRadioButton")->click();
    } else {
        doc()->setFilter(false, true, false, {FilterTerm(0, 0, "todo")}, false, false);
        doc()->emitChanged(EventType::AllChanged);
    }
    // Name and Status change places.
    PropertyReorderMap newToOld;
    for (int property = 0; property < doc()->propertyCount(); ++property)
        newToOld.insert(property, property);
    newToOld[PlanFixture::Name] = PlanFixture::Status;
    newToOld[PlanFixture::Status] = PlanFixture::Name;
    DocumentRecorder recorder(*doc());
    doc()->reorderProperties(newToOld, true);
    QCOMPARE(recorder.undoTexts.size(), 1);

    auto *property = qobject_cast<QComboBox *>(table->cellWidget(0, 0));
    if (basic)
        child<QRadioButton>(widget(), "m_advancedRadioButton")->click();
    else
        property->setCurrentIndex(property->findText(QStringLiteral("Status")));
    QCOMPARE(property->currentText(), QStringLiteral("Status"));
    QCOMPARE(recorder.undoTexts.size(), 2);
    QCOMPARE(doc()->filterTerms(),
             QList<FilterTerm>({FilterTerm(doc()->propertyIndex("Status"), 0, "todo")}));
    QCOMPARE(explainer(), QStringLiteral("SHOW (Status Contains \"todo\")"));
    for (int index = 1; index < doc()->propertyCount(); ++index)
        QCOMPARE(property->itemText(index), doc()->propertyName(index));
}

TAVROLO_TEST_MAIN(TestCardsFilterWidget)
#include "tst_cardsfilterwidget.moc"
