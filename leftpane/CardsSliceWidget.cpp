#include "leftpane/CardsSliceWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "leftpane/SliceDialog.h"
#include "model/Document.h"
#include "ui_CardsSliceWidget.h"

#include <algorithm>

namespace {
const char addTipKey[] = "tip_add_stored_view";
} // namespace

CardsSliceWidget::CardsSliceWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsSliceWidget)
{
    m_ui->setupUi(this);
    setSmallButtonStyle(m_ui->m_addSliceButton);
    setSmallButtonStyle(m_ui->m_deleteSliceButton);
    setIcons();
    QComboBox *combo = m_ui->m_sliceComboBox;
    combo->setAttribute(Qt::WA_MacSmallSize);
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(new MouseWheelEventFilter(this));
    combo->setToolTip(combo->toolTip().replace(QStringLiteral("Ctrl"), QStringLiteral("\u2318")));
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsSliceWidget::onSliceSelected);
    connect(m_ui->m_addSliceButton, &QToolButton::clicked, this, &CardsSliceWidget::onAddSlice);
    connect(m_ui->m_deleteSliceButton, &QToolButton::clicked, this,
            &CardsSliceWidget::onDeleteSlice);
    // The combo is filled by the first whole-plan change.
}

CardsSliceWidget::~CardsSliceWidget()
{
    delete m_ui;
}

void CardsSliceWidget::giveFocus()
{
    if (m_ui->m_sliceComboBox->isEnabled())
        m_ui->m_sliceComboBox->setFocus(Qt::OtherFocusReason);
    else
        m_ui->m_addSliceButton->setFocus(Qt::OtherFocusReason);
}

void CardsSliceWidget::showEvent(QShowEvent *event)
{
    LeftPaneWidget::showEvent(event);
    if (m_ui->m_sliceComboBox->currentIndex() == 0)
        BalloonTip::showOnce(m_ui->m_addSliceButton, QLatin1String(addTipKey),
                             tr("Store the current view"),
                             tr("Click to store the current view of the cards for later use."),
                             QString(), 10000, true, false);
}

void CardsSliceWidget::onAddSlice()
{
    BalloonTip::markShown(QLatin1String(addTipKey));
    SliceDialog dialog(this);
    dialog.exec();
}

void CardsSliceWidget::onDeleteSlice()
{
    if (m_ui->m_sliceComboBox->currentIndex() > 0)
        doc()->deleteStoredView(m_ui->m_sliceComboBox->currentText(), true);
}

void CardsSliceWidget::onSliceSelected()
{
    // The placeholder stands for a view stored under no name: nothing to apply.
    if (m_ui->m_sliceComboBox->currentIndex() > 0)
        doc()->changeView(m_ui->m_sliceComboBox->currentText(), true);
    updateDeleteButton();
}

void CardsSliceWidget::selectSlice(int n)
{
    if (n >= 0 && n < m_ui->m_sliceComboBox->count())
        m_ui->m_sliceComboBox->setCurrentIndex(n);
}

void CardsSliceWidget::selectPreviousSlice()
{
    const QComboBox *combo = m_ui->m_sliceComboBox;
    const int count = combo->count();
    if (count < 2)
        return;
    const int current = combo->currentIndex();
    selectSlice(current <= 1 ? count - 1 : current - 1);
}

void CardsSliceWidget::selectNextSlice()
{
    const QComboBox *combo = m_ui->m_sliceComboBox;
    const int count = combo->count();
    if (count < 2)
        return;
    const int current = combo->currentIndex();
    selectSlice(current >= count - 1 ? 1 : current + 1);
}

void CardsSliceWidget::syncCurrentSlice()
{
    QComboBox *combo = m_ui->m_sliceComboBox;
    {
        SignalBlocker blocker;
        blocker.add(combo);
        const QString name = doc()->currentStoredViewName();
        const int index
            = name.isEmpty() ? 0 : combo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        combo->setCurrentIndex(std::max(index, 0));
    }
    updateDeleteButton();
}

void CardsSliceWidget::rebuild()
{
    QComboBox *combo = m_ui->m_sliceComboBox;
    {
        SignalBlocker blocker;
        blocker.add(combo);
        combo->clear();
        combo->addItem(tr("<click '+' to store the current view>"));
        const QList<Slice> views = doc()->storedViews();
        for (const Slice &view : views)
            combo->addItem(view.name);
    }
    syncCurrentSlice();
    combo->setEnabled(combo->count() >= 2);
    updateDeleteButton();
}

void CardsSliceWidget::updateDeleteButton()
{
    m_ui->m_deleteSliceButton->setEnabled(m_ui->m_sliceComboBox->currentIndex() >= 1);
}

void CardsSliceWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::PropertyChanged:
        case EventType::PropertyDeleted:
        case EventType::StoredViewsChanged:
            rebuild();
            break;
        case EventType::CardsLayoutChanged:
        case EventType::CardContentChanged:
        case EventType::FilterChanged:
        case EventType::SearchChanged:
        // A view change that is no choice of a stored view (the cell totals, a filter removed
        // from a warning) leaves the current view equal to another stored view, or to none.
        case EventType::ViewChanged:
            syncCurrentSlice();
            break;
        case EventType::CardsAppearanceChanged:
            if (doc()->currentView().storeAppearance)
                syncCurrentSlice();
            break;
        default:
            break;
        }
    }
}

void CardsSliceWidget::setIcons()
{
    m_ui->m_addSliceButton->setIcon(icon(QStringLiteral("add_12.png")));
    m_ui->m_deleteSliceButton->setIcon(icon(QStringLiteral("minus_12.png")));
}
