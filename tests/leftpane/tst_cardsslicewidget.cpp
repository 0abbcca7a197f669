#include "common/app/Accessors.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "leftpane/CardsSliceWidget.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

QStringList viewNames()
{
    QStringList names;
    const QList<Slice> views = doc()->storedViews();
    for (const Slice &view : views)
        names << view.name;
    return names;
}

void setFilterWord(const QString &word, bool undoable)
{
    QList<FilterTerm> terms;
    if (!word.isEmpty())
        terms << FilterTerm(0, MatchType::Contains, word);
    doc()->setFilter(true, true, true, terms, undoable, false);
}

} // namespace

class TestCardsSliceWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dialogProposesNameAndStoresOneEntryPerView_data();
    void dialogProposesNameAndStoresOneEntryPerView();
    void steppingThroughStoredViews_data();
    void steppingThroughStoredViews();
    void editsOutsideTheComboShowTheViewNowEqual_data();
    void editsOutsideTheComboShowTheViewNowEqual();

private:
    QComboBox *combo() const
    {
        return m_widget->findChild<QComboBox *>(QStringLiteral("m_sliceComboBox"));
    }
    // Stores the current view under each name, each after the given X property.
    void storeViews(const QList<QPair<QString, int>> &views);

    std::unique_ptr<CardsSliceWidget> m_widget;
};

// Name, Status, Cost and Due; X is Status and Y is Cost.
void TestCardsSliceWidget::init()
{
    settings()->clear();
    PlanFixture::fillPlan(*doc(), {{"a", "todo", "1"}, {"b", "done", "2"}});
    doc()->setXProperty(2, false);
    doc()->setYProperty(3, false);
    m_widget = std::make_unique<CardsSliceWidget>();
    connect(doc(), &Document::changed, m_widget.get(), &CardsSliceWidget::onChangedDoc);
    doc()->emitChanged(EventType::AllChanged);
}

void TestCardsSliceWidget::cleanup()
{
    m_widget.reset();
}

void TestCardsSliceWidget::storeViews(const QList<QPair<QString, int>> &views)
{
    for (const auto &view : views) {
        doc()->setXProperty(view.second, false);
        // With the appearance, as the dialog stores views unless told otherwise.
        doc()->addStoredView(view.first, true, false);
    }
}

void TestCardsSliceWidget::dialogProposesNameAndStoresOneEntryPerView_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("comboShown");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("no views") << QStringList() << false << "Status vs Cost"
                              << QStringList({"Status vs Cost"});
    // A single name is no choice; the equal view goes, as the same view is not kept twice.
    QTest::newRow("one equal view")
        << QStringList({"Old"}) << false << "Status vs Cost" << QStringList({"Status vs Cost"});
    // Overwriting its own name, with the question switched off.
    QTest::newRow("equal to the second of two")
        << QStringList({"One", "Two"}) << true << "Two" << QStringList({"One", "Two"});
}

void TestCardsSliceWidget::dialogProposesNameAndStoresOneEntryPerView()
{
    QFETCH(QStringList, before);
    QFETCH(bool, comboShown);
    QFETCH(QString, proposed);
    QFETCH(QStringList, after);
    for (int i = 0; i < before.size(); ++i)
        storeViews({{before.at(i), i == before.size() - 1 ? 2 : 4}});
    settings()->setValue(QStringLiteral("show_warning_overwrite_stored_view_name"), false);
    doc()->emitChanged(EventType::AllChanged);
    DocumentRecorder recorder(*doc());
    bool shown = false;
    QString name;
    ModalAnswer answer(QStringLiteral("OK"), {}, [&](QWidget *dialog) {
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("m_nameEdit"));
        auto *names = dialog->findChild<QComboBox *>(QStringLiteral("m_nameComboBox"));
        shown = !names->isHidden();
        QCOMPARE(field->isHidden(), shown);
        name = shown ? names->currentText() : field->text();
    });
    m_widget->findChild<QToolButton *>(QStringLiteral("m_addSliceButton"))->click();
    QVERIFY(answer.answered());
    QCOMPARE(shown, comboShown);
    QCOMPARE(name, proposed);
    QCOMPARE(recorder.undoTexts, QStringList({"Add Stored View"}));
    QCOMPARE(viewNames(), after);
    QCOMPARE(combo()->currentText(), proposed);
    QVERIFY(BalloonTip::wasShown(QStringLiteral("tip_add_stored_view"), false));
}

void TestCardsSliceWidget::steppingThroughStoredViews_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("end");
    QTest::newRow("Ctrl+3 with two views") << 1 << "3" << 1;
    QTest::newRow("Ctrl+2") << 0 << "2" << 2;
    QTest::newRow("Ctrl+] on the last wraps") << 2 << "]" << 1;
    QTest::newRow("Ctrl+[ on the first wraps") << 1 << "[" << 2;
    QTest::newRow("Ctrl+[ on the placeholder") << 0 << "[" << 2;
    QTest::newRow("Ctrl+] on the placeholder") << 0 << "]" << 1;
}

void TestCardsSliceWidget::steppingThroughStoredViews()
{
    QFETCH(int, start);
    QFETCH(QString, key);
    QFETCH(int, end);
    storeViews({{"One", 1}, {"Two", 2}});
    doc()->setXProperty(4, false);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(combo()->currentIndex(), 0);
    m_widget->selectSlice(start);
    DocumentRecorder recorder(*doc());
    if (key == QLatin1String("["))
        m_widget->selectPreviousSlice();
    else if (key == QLatin1String("]"))
        m_widget->selectNextSlice();
    else
        m_widget->selectSlice(key.toInt());
    QCOMPARE(combo()->currentIndex(), end);
    QCOMPARE(recorder.undoTexts,
             end == start ? QStringList() : QStringList({QStringLiteral("Change View")}));
    QCOMPARE(doc()->xProperty(), end);
}

void TestCardsSliceWidget::editsOutsideTheComboShowTheViewNowEqual_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("shown");
    QTest::newRow("totals in cells") << "Plain"
                                     << "cells"
                                     << "Totals";
    QTest::newRow("filter removed from a warning") << "Filtered"
                                                   << "clear"
                                                   << "Plain";
    QTest::newRow("filter edited") << "Plain"
                                   << "filter"
                                   << "<click '+' to store the current view>";
}

// A view change that is no choice of a stored view must not leave the combo naming a view the
// plan no longer shows: choosing that name again would do nothing.
void TestCardsSliceWidget::editsOutsideTheComboShowTheViewNowEqual()
{
    QFETCH(QString, start);
    QFETCH(QString, edit);
    QFETCH(QString, shown);
    doc()->addStoredView(QStringLiteral("Plain"), false, false);
    doc()->setShowCellsTotals(true, false);
    doc()->addStoredView(QStringLiteral("Totals"), false, false);
    doc()->setShowCellsTotals(false, false);
    setFilterWord(QStringLiteral("a"), false);
    doc()->addStoredView(QStringLiteral("Filtered"), false, false);
    doc()->emitChanged(EventType::AllChanged);
    QCOMPARE(viewNames(), QStringList({"Filtered", "Plain", "Totals"}));
    const int startIndex = viewNames().indexOf(start) + 1;
    m_widget->selectSlice(startIndex);
    QCOMPARE(combo()->currentText(), start);

    if (edit == QLatin1String("cells"))
        doc()->setShowCellsTotals(true, true);
    else if (edit == QLatin1String("clear"))
        doc()->clearFilter(true);
    else
        setFilterWord(QStringLiteral("b"), true);
    QCOMPARE(combo()->currentText(), shown);

    DocumentRecorder recorder(*doc());
    m_widget->selectSlice(startIndex);
    QCOMPARE(recorder.undoTexts, QStringList({"Change View"}));
    QCOMPARE(doc()->currentStoredViewName(), start);
    QCOMPARE(combo()->currentText(), start);
}

TAVROLO_TEST_MAIN(TestCardsSliceWidget)
#include "tst_cardsslicewidget.moc"
