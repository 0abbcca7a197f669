#include "app/OneTimeTips.h"

#include "common/widgets/BalloonTip.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsLeftPane.h"
#include "model/Document.h"
#include "ui_MainWindow.h"

#include <QComboBox>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>

namespace {

const int tipDurationMs = 10000;

// A one-time tip: shown once per user, the key remembering that it was.
struct Tip
{
    const char *key;
    const char *title;
    const char *text;
};

const Tip tabsTip
    = {"tip_tabs", QT_TRANSLATE_NOOP("MainWindow", "Change tab"),
       QT_TRANSLATE_NOOP("MainWindow", "View your plan as cards, charts or a table.")};
const Tip autoSaveTip
    = {"tip_no_save_button", QT_TRANSLATE_NOOP("MainWindow", "Changes are saved automatically"),
       QT_TRANSLATE_NOOP("MainWindow", "There is no 'save' button.")};
const Tip splitterTip
    = {"tip_splitter", QT_TRANSLATE_NOOP("MainWindow", "Resize splitter"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Drag this splitter all the way to the left to hide the left pane.")};
const Tip layoutTip
    = {"tip_x_layout", QT_TRANSLATE_NOOP("MainWindow", "Layout by column (X)"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Select from this drop-down list to order cards into columns "
                         "by property value.")};
const Tip addPropertyTip
    = {"tip_add_property", QT_TRANSLATE_NOOP("MainWindow", "Add a property"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Click here to add a new property, e.g. \"Priority\", "
                         "\"Name\" or \"Date due\".")};
const Tip addCardTip
    = {"tip_add_card", QT_TRANSLATE_NOOP("MainWindow", "Add a card"),
       QT_TRANSLATE_NOOP("MainWindow",
                         "Click here to add a new card. Cards typically represent tasks "
                         "or items to be prioritized, scheduled or tracked.")};

// Not forced: a modal dialog that does not hold the anchor keeps the tip for later.
void offerTip(QWidget *anchor, const Tip &tip)
{
    BalloonTip::showOnce(
        anchor, QLatin1String(tip.key), QCoreApplication::translate("MainWindow", tip.title),
        QCoreApplication::translate("MainWindow", tip.text), QString(), tipDurationMs, true, false);
}

} // namespace

OneTimeTips::OneTimeTips(const Document &plan, const WindowPanes &panes, Ui::MainWindow &ui,
                         QObject *parent)
    : QObject(parent), m_plan(plan), m_panes(panes), m_ui(ui)
{ }

void OneTimeTips::offerAfterAddingCard()
{
    const int cards = m_plan.taskCount();
    if (cards >= 13)
        showTabsTip();
    else if (cards >= 11)
        showAutoSaveTip();
    else if (cards >= 9)
        showSplitterTip();
    else if (cards >= 5)
        showLayoutTip();
    else if (cards >= 3)
        showAddPropertyTip();
}

void OneTimeTips::showTabsTip()
{
    if (auto *tabBar
        = m_ui.m_tabWidget->findChild<QTabBar *>(QStringLiteral("qt_tabwidget_tabbar")))
        offerTip(tabBar, tabsTip);
}

void OneTimeTips::showAutoSaveTip()
{
    offerTip(m_ui.m_mainToolBar, autoSaveTip);
}

void OneTimeTips::showSplitterTip()
{
    QSplitter *splitter = m_panes.cardsSplitter;
    const QList<int> sizes = splitter->sizes();
    if (sizes.isEmpty() || sizes.first() <= 0 || splitter->count() < 2)
        return;
    offerTip(splitter->handle(1), splitterTip);
}

void OneTimeTips::showLayoutTip()
{
    offerTip(m_panes.cardsLeftPane->colorLayoutWidget()->xPropertyCombo(), layoutTip);
}

void OneTimeTips::showAddPropertyTip()
{
    offerTip(m_ui.m_mainToolBar->widgetForAction(m_ui.m_editAddPropertyAction), addPropertyTip);
}

void OneTimeTips::showAddCardTip()
{
    offerTip(m_ui.m_mainToolBar->widgetForAction(m_ui.m_editAddTaskAction), addCardTip);
}

void OneTimeTips::tabChanged(int index)
{
    if (index > 0)
        BalloonTip::markShown(QLatin1String(tabsTip.key));
}
