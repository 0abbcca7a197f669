#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "harness/DocumentRecorder.h"
#include "harness/TestMain.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "tests/model/PlanFixture.h"

#include <memory>

#include <QComboBox>
#include <QLineEdit>

class TestCardsLeftPane : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void onlyLayoutOpenAtStart();
    void filterHeaderCarriesOneStar();

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

TAVROLO_TEST_MAIN(TestCardsLeftPane)
#include "tst_cardsleftpane.moc"
