#include "leftpane/CardsColorLayoutWidget.h"

#include "cards/CardsScene.h"
#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "ui_CardsColorLayoutWidget.h"

#include <QComboBox>
#include <QToolButton>

namespace {
// Balloons of the layout tips stay this long.
const int tipMs = 10000;
} // namespace

CardsColorLayoutWidget::CardsColorLayoutWidget(QWidget *parent, CardsScene *scene)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsColorLayoutWidget), m_scene(scene)
{
    m_ui->setupUi(this);
    m_ui->m_formLayout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_ui->m_totalLabel->setStyleSheet(QStringLiteral("margin-top: 3px;"));
    m_ui->m_totalInCellsCheckBox->setStyleSheet(QStringLiteral("margin-top: 3px;"));
    for (QWidget *label : {m_ui->m_xPropertyLabel, m_ui->m_yPropertyLabel,
                           m_ui->m_inCellPropertyLabel, m_ui->m_bgColorLabel,
                           m_ui->m_highlightColorLabel, m_ui->m_totalLabel, m_ui->m_bgXYColorLabel})
        label->setAttribute(Qt::WA_MacSmallSize);

    m_propertyCombos = {m_ui->m_xPropertyComboBox,
                        m_ui->m_yPropertyComboBox,
                        m_ui->m_inCellPropertyComboBox,
                        m_ui->m_bgColorPropertyComboBox,
                        m_ui->m_highlightColorPropertyComboBox,
                        m_ui->m_totalPropertyComboBox};
    m_ui->m_totalPropertyComboBox->setToolTip(
        m_ui->m_totalPropertyComboBox->toolTip()
        + tr("\nSelect %1 to total the number of cards.").arg(QStringLiteral("<cards>")));
    auto *wheelFilter = new MouseWheelEventFilter(this);
    QList<QComboBox *> combos = m_propertyCombos;
    combos.append(m_ui->m_bgXYColorComboBox);
    for (QComboBox *combo : qAsConst(combos)) {
        combo->setAttribute(Qt::WA_MacSmallSize);
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(wheelFilter);
    }

    m_editButtons = {m_ui->m_xPropertyEditButton,
                     m_ui->m_yPropertyEditButton,
                     m_ui->m_inCellPropertyEditButton,
                     m_ui->m_bgColorPropertyEditButton,
                     m_ui->m_highlightColorPropertyEditButton,
                     m_ui->m_totalPropertyEditButton,
                     m_ui->m_bgXYColorEditButton};
    for (QToolButton *button : qAsConst(m_editButtons))
        setSmallButtonStyle(button);
    // The form's pictures are the light ones; the style's own are set here as on a change.
    setIcons();
    m_ui->m_totalInCellsCheckBox->setAttribute(Qt::WA_MacSmallSize);

    connect(m_ui->m_xPropertyComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsColorLayoutWidget::onXPropertyChanged);
    connect(m_ui->m_yPropertyComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsColorLayoutWidget::onYPropertyChanged);
    connect(m_ui->m_inCellPropertyComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &CardsColorLayoutWidget::onInCellPropertyChanged);
    connect(m_ui->m_bgColorPropertyComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &CardsColorLayoutWidget::onBgColorPropertyChanged);
    connect(m_ui->m_highlightColorPropertyComboBox,
            QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsColorLayoutWidget::onHighlightColorPropertyChanged);
    connect(m_ui->m_totalPropertyComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &CardsColorLayoutWidget::onTotalPropertyChanged);
    connect(m_ui->m_totalInCellsCheckBox, &QCheckBox::toggled, this,
            &CardsColorLayoutWidget::onTotalInCellsChanged);
    connect(m_ui->m_bgXYColorComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsColorLayoutWidget::onBgXYColorChanged);
    connect(m_ui->m_xPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onXPropertyEdit);
    connect(m_ui->m_yPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onYPropertyEdit);
    connect(m_ui->m_inCellPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onInCellPropertyEdit);
    connect(m_ui->m_bgColorPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onBgColorPropertyEdit);
    connect(m_ui->m_highlightColorPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onHighlightColorPropertyEdit);
    connect(m_ui->m_totalPropertyEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onTotalPropertyEdit);
    connect(m_ui->m_bgXYColorEditButton, &QToolButton::clicked, this,
            &CardsColorLayoutWidget::onBgXYColorEdit);
    adjustSize();
    // The combos stay empty until the first whole-plan change.
}

CardsColorLayoutWidget::~CardsColorLayoutWidget()
{
    delete m_ui;
}

QComboBox *CardsColorLayoutWidget::xPropertyCombo() const
{
    return m_ui->m_xPropertyComboBox;
}

void CardsColorLayoutWidget::giveFocus()
{
    m_ui->m_xPropertyComboBox->setFocus(Qt::OtherFocusReason);
}

void CardsColorLayoutWidget::onTranspose()
{
    doc()->swapXY(true, this);
}

void CardsColorLayoutWidget::onXPropertyChanged(int index)
{
    if (index < 0)
        return;
    doc()->setXProperty(index, true, this);
    onUpdateBgXYColorButtonStatus();
    continueTips(QStringLiteral("tip_x_layout"), doc()->propertyCount() >= 3,
                 m_ui->m_yPropertyComboBox, QStringLiteral("tip_y_layout"), tr("Layout by row (Y)"),
                 tr("Select from this drop-down list to order cards into rows by property "
                    "value."));
}

void CardsColorLayoutWidget::onYPropertyChanged(int index)
{
    if (index < 0)
        return;
    doc()->setYProperty(index, true, this);
    onUpdateBgXYColorButtonStatus();
    continueTips(QStringLiteral("tip_y_layout"), doc()->propertyCount() >= 3,
                 m_ui->m_bgColorPropertyComboBox, QStringLiteral("tip_color"), tr("Color cards"),
                 tr("Select from this drop-down list to color cards by property value."));
}

void CardsColorLayoutWidget::onInCellPropertyChanged(int index)
{
    if (index >= 0)
        doc()->setCellOrderingProperty(index, true, this);
}

void CardsColorLayoutWidget::onBgColorPropertyChanged(int index)
{
    if (index < 0)
        return;
    doc()->setCardColorProperty(index, true, this);
    continueTips(QStringLiteral("tip_color"), doc()->propertyCount() >= 3,
                 m_ui->m_totalPropertyComboBox, QStringLiteral("tip_total"), tr("Total cards"),
                 tr("Select from this drop-down list to total cards by a property value."));
}

void CardsColorLayoutWidget::onHighlightColorPropertyChanged(int index)
{
    if (index >= 0)
        doc()->setHighlightColorProperty(index, true, this);
}

void CardsColorLayoutWidget::onTotalPropertyChanged(int index)
{
    if (index < 0)
        return;
    doc()->setTotalProperty(index, true, this);
    if (m_scene) {
        m_scene->calculateTotals();
        m_scene->redraw();
    }
    continueTips(QStringLiteral("tip_total"),
                 doc()->propertyCount() >= 2 && m_ui->m_xPropertyComboBox->currentIndex() > 0,
                 m_ui->m_xPropertyEditButton, QStringLiteral("tip_edit_property"),
                 tr("Edit property"), tr("Click here to edit the property."));
}

void CardsColorLayoutWidget::onTotalInCellsChanged()
{
    doc()->setShowCellsTotals(m_ui->m_totalInCellsCheckBox->isChecked(), true, this);
}

void CardsColorLayoutWidget::onBgXYColorChanged(int index)
{
    if (index < 0)
        return;
    doc()->setRowColColor(index, true, this);
    onUpdateBgXYColorButtonStatus();
}

void CardsColorLayoutWidget::onXPropertyEdit()
{
    editProperty(m_ui->m_xPropertyComboBox->currentIndex(), PropertyDialog::OrderingPage);
}

void CardsColorLayoutWidget::onYPropertyEdit()
{
    editProperty(m_ui->m_yPropertyComboBox->currentIndex(), PropertyDialog::OrderingPage);
}

void CardsColorLayoutWidget::onInCellPropertyEdit()
{
    editProperty(m_ui->m_inCellPropertyComboBox->currentIndex(), PropertyDialog::OrderingPage);
}

void CardsColorLayoutWidget::onBgColorPropertyEdit()
{
    editProperty(m_ui->m_bgColorPropertyComboBox->currentIndex(), PropertyDialog::ColorsPage);
}

void CardsColorLayoutWidget::onHighlightColorPropertyEdit()
{
    editProperty(m_ui->m_highlightColorPropertyComboBox->currentIndex(),
                 PropertyDialog::ColorsPage);
}

void CardsColorLayoutWidget::onTotalPropertyEdit()
{
    editProperty(m_ui->m_totalPropertyComboBox->currentIndex(), PropertyDialog::OrderingPage);
}

void CardsColorLayoutWidget::onBgXYColorEdit()
{
    int property = 0;
    switch (m_ui->m_bgXYColorComboBox->currentIndex()) {
    case RowColColor::Columns:
        property = m_ui->m_xPropertyComboBox->currentIndex();
        break;
    case RowColColor::Rows:
        property = m_ui->m_yPropertyComboBox->currentIndex();
        break;
    default:
        return;
    }
    if (property > 0)
        editProperty(property, PropertyDialog::ColorsPage);
}

void CardsColorLayoutWidget::onUpdateButtonStatus()
{
    const int count = doc()->propertyCount();
    for (int i = 0; i < m_propertyCombos.size(); ++i) {
        const int index = m_propertyCombos.at(i)->currentIndex();
        m_editButtons.at(i)->setEnabled(index >= 1 && index < count);
    }
    m_ui->m_totalInCellsCheckBox->setEnabled(m_ui->m_totalPropertyComboBox->currentIndex() >= 1);
    onUpdateBgXYColorButtonStatus();
}

void CardsColorLayoutWidget::onUpdateBgXYColorButtonStatus()
{
    const int mode = m_ui->m_bgXYColorComboBox->currentIndex();
    m_ui->m_bgXYColorEditButton->setEnabled(
        (mode == RowColColor::Columns && m_ui->m_xPropertyComboBox->currentIndex() > 0)
        || (mode == RowColColor::Rows && m_ui->m_yPropertyComboBox->currentIndex() > 0));
}

void CardsColorLayoutWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::ViewChanged:
        case EventType::PropertiesReordered:
            reload();
            break;
        case EventType::PropertyAdded:
            addProperty(event.propertyIndex);
            break;
        case EventType::PropertyChanged:
            for (QComboBox *combo : qAsConst(m_propertyCombos)) {
                if (event.propertyIndex >= 0 && event.propertyIndex < combo->count())
                    combo->setItemText(event.propertyIndex,
                                       doc()->propertyName(event.propertyIndex));
            }
            break;
        case EventType::PropertyDeleted:
            removeProperty(event.propertyIndex);
            onUpdateButtonStatus();
            break;
        case EventType::CardsLayoutChanged:
            // The section's own choice is in its combo already.
            if (events.source == this)
                onUpdateButtonStatus();
            else
                showChoices();
            break;
        default:
            break;
        }
    }
}

void CardsColorLayoutWidget::reload()
{
    const Document *plan = doc();
    {
        SignalBlocker blocker;
        for (QComboBox *combo : qAsConst(m_propertyCombos)) {
            blocker.add(combo);
            combo->clear();
            for (int property = 0; property < plan->propertyCount(); ++property)
                combo->addItem(plan->propertyName(property));
        }
        m_ui->m_totalPropertyComboBox->addItem(plan->propertyName(plan->propertyCount()));
    }
    showChoices();
}

void CardsColorLayoutWidget::showChoices()
{
    const Document *plan = doc();
    SignalBlocker blocker;
    for (QComboBox *combo : qAsConst(m_propertyCombos))
        blocker.add(combo);
    blocker.add(m_ui->m_totalInCellsCheckBox);
    blocker.add(m_ui->m_bgXYColorComboBox);
    m_ui->m_xPropertyComboBox->setCurrentIndex(plan->xProperty());
    m_ui->m_yPropertyComboBox->setCurrentIndex(plan->yProperty());
    m_ui->m_inCellPropertyComboBox->setCurrentIndex(plan->cellOrderingProperty());
    m_ui->m_bgColorPropertyComboBox->setCurrentIndex(plan->cardColorProperty());
    m_ui->m_highlightColorPropertyComboBox->setCurrentIndex(plan->highlightColorProperty());
    m_ui->m_totalPropertyComboBox->setCurrentIndex(plan->totalProperty());
    m_ui->m_totalInCellsCheckBox->setChecked(plan->showCellsTotals());
    m_ui->m_bgXYColorComboBox->setCurrentIndex(plan->rowColColor());
    onUpdateButtonStatus();
}

void CardsColorLayoutWidget::addProperty(int property)
{
    QComboBox *total = m_ui->m_totalPropertyComboBox;
    // A new property always takes the last index; lists out of step with the plan (never
    // filled yet) are filled afresh instead.
    if (m_ui->m_xPropertyComboBox->count() != property || total->count() != property + 1) {
        reload();
        return;
    }
    SignalBlocker blocker;
    for (QComboBox *combo : qAsConst(m_propertyCombos))
        blocker.add(combo);
    // "<cards>" is the total combo's last item, whatever the names of the properties. The
    // plan has already moved a total on "<cards>" to the new count, so the combo follows it
    // without writing anything.
    const int cardsItem = total->count() - 1;
    const bool onCards = total->currentIndex() == cardsItem;
    const QString cardsText = total->itemText(cardsItem);
    total->removeItem(cardsItem);
    for (QComboBox *combo : qAsConst(m_propertyCombos))
        combo->addItem(doc()->propertyName(property));
    total->addItem(cardsText);
    if (onCards)
        total->setCurrentIndex(total->count() - 1);
}

void CardsColorLayoutWidget::removeProperty(int property)
{
    SignalBlocker blocker;
    for (QComboBox *combo : qAsConst(m_propertyCombos)) {
        if (property < 1 || property >= combo->count())
            continue;
        blocker.add(combo);
        if (combo->currentIndex() == property)
            combo->setCurrentIndex(0);
        combo->removeItem(property);
    }
}

void CardsColorLayoutWidget::setIcons()
{
    for (QToolButton *button : qAsConst(m_editButtons))
        button->setIcon(icon(QStringLiteral("settings_16.png")));
}

void CardsColorLayoutWidget::editProperty(int property, int page)
{
    PropertyDialog dialog(this, property, page);
    dialog.exec();
}

void CardsColorLayoutWidget::continueTips(const QString &usedKey, bool offerNext, QWidget *anchor,
                                          const QString &nextKey, const QString &title,
                                          const QString &text)
{
    BalloonTip::markShown(usedKey);
    if (offerNext)
        BalloonTip::showOnce(anchor, nextKey, title, text, QString(), tipMs, true, false);
}
