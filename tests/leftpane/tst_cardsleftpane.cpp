#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "leftpane/CardsSearchWidget.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <functional>
#include <memory>

#include <QComboBox>
#include <QLineEdit>

namespace {

// A typed text of a section: how the section applies it after its pauses, how the plan reads
// it, and the same kind of change made by another object.
using Apply = std::function<void(CardsLeftPane &pane, DelayedEditLineEdit &field)>;
using Read = std::function<QString()>;
using Change = std::function<void(const QString &text, QObject *source)>;

QString filterWords()
{
    QStringList words;
    for (const FilterTerm &term : doc()->filterTerms())
        words << term.value;
    return words.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(Apply)
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Change)

class TestCardsLeftPane : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void onlyLayoutOpenAtStart();
    void filterHeaderCarriesOneStar();
    void ownTextStaysAsTypedWhileOthersShow_data();
    void ownTextStaysAsTypedWhileOthersShow();

private:
    std::unique_ptr<CardsScene> m_scene;
    std::unique_ptr<CardsView> m_view;
    std::unique_ptr<CardsLeftPane> m_pane;
};

void TestCardsLeftPane::init()
{
    PlanFixture::fillPlan(*doc(), {{"a", "todo", "1"}, {"b", "done", "2"}});
    m_scene = std::make_unique<CardsScene>(doc());
    m_view = std::make_unique<CardsView>(m_scene.get());
    m_pane = std::make_unique<CardsLeftPane>(nullptr, m_scene.get(), m_view.get());
    m_pane->connectToDocument();
    doc()->emitChanged(EventType::AllChanged);
}

void TestCardsLeftPane::cleanup()
{
    m_pane.reset();
    m_view.reset();
    m_scene.reset();
}

void TestCardsLeftPane::onlyLayoutOpenAtStart()
{
    const QList<HeaderButton *> headers = m_pane->findChildren<HeaderButton *>();
    QStringList titles;
    QStringList open;
    for (const HeaderButton *header : headers) {
        titles << header->text();
        if (header->isOpen())
            open << header->text();
    }
    QCOMPARE(titles,
             QStringList({"Layout/Color", "Show Properties", "Filter", "Stored Views", "Search",
                          "Appearance"}));
    QCOMPARE(open, QStringList({"Layout/Color"}));
    QCOMPARE(headers.first()->toolTip(), QString::fromUtf8("Layout/Color (\u2318B open/close)"));
    QVERIFY(!m_pane->filterWidget()->isVisibleTo(m_pane.get()));
    QVERIFY(m_pane->colorLayoutWidget()->isVisibleTo(m_pane.get()));
}

void TestCardsLeftPane::filterHeaderCarriesOneStar()
{
    HeaderButton *filter = m_pane->findChildren<HeaderButton *>().at(2);
    // A word typed into the filter: the section reports it on every reload.
    auto *field = m_pane->filterWidget()->findChild<QLineEdit *>(QStringLiteral("m_basicLineEdit"));
    field->setText(QStringLiteral("a"));
    QTRY_COMPARE(doc()->filterTerms().size(), 1);
    QCOMPARE(filter->text(), QStringLiteral("Filter*"));
    doc()->emitChanged(EventType::AllChanged);
    doc()->emitChanged(EventType::ViewChanged);
    QCOMPARE(filter->text(), QStringLiteral("Filter*"));
    doc()->clearFilter(true);
    QCOMPARE(filter->text(), QStringLiteral("Filter"));
}

void TestCardsLeftPane::ownTextStaysAsTypedWhileOthersShow_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<Apply>("apply");
    QTest::addColumn<Read>("read");
    QTest::addColumn<Change>("change");
    const Apply afterPause = [](CardsLeftPane &, DelayedEditLineEdit &field) { field.flush(); };
    QTest::newRow("search") << "m_searchEdit" << afterPause
                            << Read([] { return doc()->searchText(); })
                            << Change([](const QString &text, QObject *source) {
                                   doc()->setSearch(text, false, true, source);
                               });
    QTest::newRow("filter words")
        << "m_basicLineEdit" << Apply([](CardsLeftPane &pane, DelayedEditLineEdit &field) {
               field.flush();
               // The section's own second pause, skipped.
               QMetaObject::invokeMethod(pane.filterWidget(), "onTimeOut", Qt::DirectConnection);
           })
        << Read(filterWords) << Change([](const QString &text, QObject *source) {
               doc()->setFilter(true, true, true, {FilterTerm(0, MatchType::Contains, text)}, true,
                                false, source);
           });
    QTest::newRow("cards title") << "m_titleEdit" << afterPause
                                 << Read([] { return doc()->cardsTitle(); })
                                 << Change([](const QString &text, QObject *source) {
                                        doc()->setCardsTitle(text, true, source);
                                    });
}

// What a section sends to the plan comes back as a change the section made itself: the field
// stays as the user left it, its typing still to be undone. The same change made by another
// shows in the field instead.
void TestCardsLeftPane::ownTextStaysAsTypedWhileOthersShow()
{
    QFETCH(QString, field);
    QFETCH(Apply, apply);
    QFETCH(Read, read);
    QFETCH(Change, change);
    auto *edit = m_pane->findChild<DelayedEditLineEdit *>(field);
    QVERIFY(edit);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    QTest::keyClicks(edit, QStringLiteral("ab"));
    edit->setCursorPosition(1);

    apply(*m_pane, *edit);

    QCOMPARE(read(), QStringLiteral("ab"));
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QVERIFY(edit->isUndoAvailable());
    QCOMPARE(edit->cursorPosition(), 1);

    QObject other;
    change(QStringLiteral("cd"), &other);
    QCOMPARE(read(), QStringLiteral("cd"));
    QCOMPARE(edit->text(), QStringLiteral("cd"));
}

TAVROLO_TEST_MAIN(TestCardsLeftPane)
#include "tst_cardsleftpane.moc"
