#include "leftpane/CardsShowPropertiesWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"
#include "properties/PropertyOrderDialog.h"
#include "ui_CardsShowPropertiesWidget.h"

#include <QHeaderView>

CardsShowPropertiesWidget::CardsShowPropertiesWidget(QWidget *parent, CardsScene *scene,
                                                     CardsView *view)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsShowPropertiesWidget), m_scene(scene), m_view(view)
{
    Q_UNUSED(m_scene)
    Q_UNUSED(m_view)
    m_ui->setupUi(this);
    for (QWidget *control : {static_cast<QWidget *>(m_ui->m_propertiesTable),
                             static_cast<QWidget *>(m_ui->m_showLabelsCheckBox),
                             static_cast<QWidget *>(m_ui->m_showNotesCheckBox),
                             static_cast<QWidget *>(m_ui->m_showHyperlinksCheckBox),
                             static_cast<QWidget *>(m_ui->m_showImageCheckBox),
                             static_cast<QWidget *>(m_ui->m_imagePositionComboBox),
                             static_cast<QWidget *>(m_ui->m_imageSizeComboBox),
                             static_cast<QWidget *>(m_ui->m_reorderButton)})
        control->setAttribute(Qt::WA_MacSmallSize);
    for (QWidget *box :
         {m_ui->m_showLabelsCheckBox, m_ui->m_showNotesCheckBox, m_ui->m_showHyperlinksCheckBox})
        box->setMinimumHeight(23);
    auto *wheelFilter = new MouseWheelEventFilter(this);
    for (QComboBox *combo : {m_ui->m_imagePositionComboBox, m_ui->m_imageSizeComboBox}) {
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(wheelFilter);
    }
    loadSwitches();

    connect(m_ui->m_showLabelsCheckBox, &QCheckBox::toggled, this,
            &CardsShowPropertiesWidget::onShowLabelsChanged);
    connect(m_ui->m_showNotesCheckBox, &QCheckBox::toggled, this,
            &CardsShowPropertiesWidget::onShowNotesIconChanged);
    connect(m_ui->m_showHyperlinksCheckBox, &QCheckBox::toggled, this,
            &CardsShowPropertiesWidget::onShowHyperLinksIconChanged);
    connect(m_ui->m_showImageCheckBox, &QCheckBox::toggled, this,
            &CardsShowPropertiesWidget::onShowImagesChanged);
    for (QComboBox *combo : {m_ui->m_imagePositionComboBox, m_ui->m_imageSizeComboBox})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &CardsShowPropertiesWidget::onShowImagesChanged);
    connect(m_ui->m_propertiesTable, &CardsPropertiesTable::propertyVisibilityChanged, this,
            &CardsShowPropertiesWidget::onPropertyVisibilityChanged);
    connect(m_ui->m_reorderButton, &QPushButton::clicked, this,
            &CardsShowPropertiesWidget::onReOrderProperties);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    // The property rows come with the first whole-plan change.
}

CardsShowPropertiesWidget::~CardsShowPropertiesWidget()
{
    delete m_ui;
}

void CardsShowPropertiesWidget::giveFocus()
{
    m_ui->m_propertiesTable->setFocus(Qt::OtherFocusReason);
}

void CardsShowPropertiesWidget::showEvent(QShowEvent *event)
{
    LeftPaneWidget::showEvent(event);
    BalloonTip::showOnce(
        m_ui->m_propertiesTable, QStringLiteral("tip_show_properties"), tr("Show card properties"),
        tr("Control how properties are displayed in cards."), QString(), 10000, true, false);
}

void CardsShowPropertiesWidget::onShowLabelsChanged()
{
    doc()->setShowLabels(m_ui->m_showLabelsCheckBox->isChecked(), true, this);
}

void CardsShowPropertiesWidget::onShowNotesIconChanged()
{
    doc()->setShowNotes(m_ui->m_showNotesCheckBox->isChecked(), true, this);
}

void CardsShowPropertiesWidget::onShowHyperLinksIconChanged()
{
    doc()->setShowHyperLinks(m_ui->m_showHyperlinksCheckBox->isChecked(), true, this);
}

// The position and size are stored also while images are hidden, ready for when they are
// shown; the step is then titled by the hidden state.
void CardsShowPropertiesWidget::onShowImagesChanged()
{
    doc()->setShowImages(m_ui->m_showImageCheckBox->isChecked(),
                         m_ui->m_imagePositionComboBox->currentIndex(),
                         m_ui->m_imageSizeComboBox->currentIndex(), true, this);
}

void CardsShowPropertiesWidget::onPropertyVisibilityChanged(int propertyIndex, int visibility)
{
    doc()->setPropertyVisibility(propertyIndex, visibility, true, this);
}

void CardsShowPropertiesWidget::onReOrderProperties()
{
    // The dialog applies the order itself; the new rows come back as a re-order change.
    PropertyOrderDialog dialog(this);
    dialog.exec();
}

void CardsShowPropertiesWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    CardsPropertiesTable *table = m_ui->m_propertiesTable;
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::ViewChanged:
        case EventType::PropertiesReordered:
            rebuild();
            break;
        case EventType::PropertyAdded:
            table->addPropertyRow(event.propertyIndex);
            updateGeometry();
            updateReorderButton();
            break;
        case EventType::PropertyChanged:
            table->setPropertyName(event.propertyIndex);
            break;
        case EventType::PropertyDeleted:
            table->removePropertyRow(event.propertyIndex);
            updateGeometry();
            updateReorderButton();
            break;
        case EventType::CardContentChanged:
            // The section's own change is in its control already; undo and redo come as
            // whole-plan changes.
            if (events.source != this) {
                table->showVisibilities();
                loadSwitches();
            }
            break;
        default:
            break;
        }
    }
}

void CardsShowPropertiesWidget::rebuild()
{
    CardsPropertiesTable *table = m_ui->m_propertiesTable;
    table->setRowCount(0);
    table->setColumnCount(1);
    const QList<int> properties = doc()->propertyIndexes(true);
    for (int property : properties)
        table->addPropertyRow(property);
    if (table->rowCount() > 0)
        table->setRowHidden(0, true);
    table->horizontalHeader()->hide();
    table->updateGeometry();
    loadSwitches();
    updateReorderButton();
}

void CardsShowPropertiesWidget::loadSwitches()
{
    const Document *plan = doc();
    SignalBlocker blocker;
    blocker.add(m_ui->m_showLabelsCheckBox);
    blocker.add(m_ui->m_showNotesCheckBox);
    blocker.add(m_ui->m_showHyperlinksCheckBox);
    blocker.add(m_ui->m_showImageCheckBox);
    blocker.add(m_ui->m_imagePositionComboBox);
    blocker.add(m_ui->m_imageSizeComboBox);
    m_ui->m_showLabelsCheckBox->setChecked(plan->showLabels());
    m_ui->m_showNotesCheckBox->setChecked(plan->showNotes());
    m_ui->m_showHyperlinksCheckBox->setChecked(plan->showHyperLinks());
    m_ui->m_showImageCheckBox->setChecked(plan->showImages());
    m_ui->m_imagePositionComboBox->setCurrentIndex(plan->imagePosition());
    m_ui->m_imageSizeComboBox->setCurrentIndex(plan->imageSize());
}

void CardsShowPropertiesWidget::updateReorderButton()
{
    // The placeholder counts: two properties of the user can be re-ordered.
    m_ui->m_reorderButton->setEnabled(doc()->propertyCount() >= 3);
}
