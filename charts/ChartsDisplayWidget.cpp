#include "charts/ChartsDisplayWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"
#include "ui_ChartsDisplayWidget.h"

#include <QComboBox>
#include <QToolButton>

namespace {

const int tipMs = 10000;

// The first combo item mapped to the property, 0 (the placeholder) when none is.
int itemOfProperty(const QMap<int, int> &map, int property)
{
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value() == property)
            return it.key();
    }
    return 0;
}

} // namespace

ChartsDisplayWidget::ChartsDisplayWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::ChartsDisplayWidget)
{
    m_ui->setupUi(this);
    auto *wheelFilter = new MouseWheelEventFilter(this);
    for (QComboBox *combo : {m_ui->m_showComboBox, m_ui->m_byComboBox, m_ui->m_perComboBox}) {
        combo->setAttribute(Qt::WA_MacSmallSize);
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(wheelFilter);
    }
    for (QWidget *control :
         {static_cast<QWidget *>(m_ui->m_showLabel), static_cast<QWidget *>(m_ui->m_byLabel),
          static_cast<QWidget *>(m_ui->m_perLabel),
          static_cast<QWidget *>(m_ui->m_hideZeroBarsCheckBox),
          static_cast<QWidget *>(m_ui->m_hideEmptyChartsCheckBox)})
        control->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_hideZeroBarsCheckBox->setMinimumHeight(23);
    m_ui->m_hideEmptyChartsCheckBox->setMinimumHeight(23);
    for (QToolButton *button :
         {m_ui->m_showEditButton, m_ui->m_byEditButton, m_ui->m_perEditButton})
        setSmallButtonStyle(button);
    // The form's pictures are the light ones; the style's own are set here as on a change.
    setIcons();

    connect(m_ui->m_showComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsDisplayWidget::onShowPropertyChanged);
    connect(m_ui->m_byComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsDisplayWidget::onByPropertyChanged);
    connect(m_ui->m_perComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChartsDisplayWidget::onPerPropertyChanged);
    connect(m_ui->m_showEditButton, &QToolButton::clicked, this, &ChartsDisplayWidget::onShowEdit);
    connect(m_ui->m_byEditButton, &QToolButton::clicked, this, &ChartsDisplayWidget::onByEdit);
    connect(m_ui->m_perEditButton, &QToolButton::clicked, this, &ChartsDisplayWidget::onPerEdit);
    connect(m_ui->m_hideZeroBarsCheckBox, &QCheckBox::toggled, this,
            &ChartsDisplayWidget::onHideZeroBarsFilterToggled);
    connect(m_ui->m_hideEmptyChartsCheckBox, &QCheckBox::toggled, this,
            &ChartsDisplayWidget::onHideEmptyChartsFilterToggled);
    // The combos stay empty until the first whole-plan change.
}

ChartsDisplayWidget::~ChartsDisplayWidget()
{
    delete m_ui;
}

void ChartsDisplayWidget::giveFocus()
{
    m_ui->m_showComboBox->setFocus(Qt::OtherFocusReason);
}

void ChartsDisplayWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    if (events.any(refillsOn))
        reload();
}

void ChartsDisplayWidget::reload()
{
    const Document &plan = *doc();
    SignalBlocker blocker;
    QComboBox *show = m_ui->m_showComboBox;
    QComboBox *by = m_ui->m_byComboBox;
    QComboBox *per = m_ui->m_perComboBox;
    for (QObject *control :
         {static_cast<QObject *>(show), static_cast<QObject *>(by), static_cast<QObject *>(per),
          static_cast<QObject *>(m_ui->m_hideZeroBarsCheckBox),
          static_cast<QObject *>(m_ui->m_hideEmptyChartsCheckBox)})
        blocker.add(control);
    m_showIndexToProperty.clear();
    m_byIndexToProperty.clear();
    show->clear();
    by->clear();
    per->clear();

    // Each list is built whole, then "<cards>" once at the end of Show: its item maps to the
    // property count, whatever the names of the properties.
    const int count = plan.propertyCount();
    for (int property = 0; property < count; ++property) {
        const QString name = plan.propertyName(property);
        const int type = property == 0 ? -1 : plan.actualPropertyType(property);
        if (property == 0 || type == ActualType::Numeric) {
            m_showIndexToProperty.insert(show->count(), property);
            show->addItem(name);
        }
        if (property == 0 || type == ActualType::Text) {
            m_byIndexToProperty.insert(by->count(), property);
            by->addItem(name);
            per->addItem(name);
        }
    }
    m_showIndexToProperty.insert(show->count(), count);
    show->addItem(plan.propertyName(count));

    show->setCurrentIndex(itemOfProperty(m_showIndexToProperty, plan.chartShowProperty()));
    by->setCurrentIndex(itemOfProperty(m_byIndexToProperty, plan.chartByProperty()));
    per->setCurrentIndex(itemOfProperty(m_byIndexToProperty, plan.chartPerProperty()));
    m_ui->m_hideZeroBarsCheckBox->setChecked(plan.chartsHideZeroBars());
    m_ui->m_hideEmptyChartsCheckBox->setChecked(plan.chartsHideEmpty());
    updateEditButtons();
}

void ChartsDisplayWidget::updateEditButtons()
{
    const int show = m_ui->m_showComboBox->currentIndex();
    m_ui->m_showEditButton->setEnabled(show > 0 && show < m_ui->m_showComboBox->count() - 1);
    m_ui->m_byEditButton->setEnabled(m_ui->m_byComboBox->currentIndex() > 0);
    m_ui->m_perEditButton->setEnabled(m_ui->m_perComboBox->currentIndex() > 0);
}

void ChartsDisplayWidget::onShowPropertyChanged(int comboIndex)
{
    doc()->setChartShowProperty(m_showIndexToProperty.value(comboIndex, 0), true);
    BalloonTip::showOnce(
        m_ui->m_byComboBox, QStringLiteral("tip_chart_by"), tr("Select property to chart by"),
        tr("Select a property to display a bar per value."), QString(), tipMs, true, false);
}

void ChartsDisplayWidget::onByPropertyChanged(int comboIndex)
{
    doc()->setChartByProperty(m_byIndexToProperty.value(comboIndex, 0), true);
    BalloonTip::showOnce(
        m_ui->m_perComboBox, QStringLiteral("tip_chart_per"), tr("Select property to chart per"),
        tr("Select a property to display a chart per value."), QString(), tipMs, true, false);
}

void ChartsDisplayWidget::onPerPropertyChanged(int comboIndex)
{
    doc()->setChartPerProperty(m_byIndexToProperty.value(comboIndex, 0), true);
}

void ChartsDisplayWidget::onShowEdit()
{
    editProperty(m_showIndexToProperty.value(m_ui->m_showComboBox->currentIndex(), 0));
}

void ChartsDisplayWidget::onByEdit()
{
    editProperty(m_byIndexToProperty.value(m_ui->m_byComboBox->currentIndex(), 0));
}

void ChartsDisplayWidget::onPerEdit()
{
    editProperty(m_byIndexToProperty.value(m_ui->m_perComboBox->currentIndex(), 0));
}

void ChartsDisplayWidget::onHideZeroBarsFilterToggled()
{
    doc()->setChartsHideZeroBars(m_ui->m_hideZeroBarsCheckBox->isChecked(), true);
}

void ChartsDisplayWidget::onHideEmptyChartsFilterToggled()
{
    doc()->setChartsHideEmpty(m_ui->m_hideEmptyChartsCheckBox->isChecked(), true);
}

void ChartsDisplayWidget::showEvent(QShowEvent *event)
{
    LeftPaneWidget::showEvent(event);
    BalloonTip::showOnce(
        m_ui->m_showComboBox, QStringLiteral("tip_chart_show"), tr("Select property to chart"),
        tr("Select a property to display as the bar height."), QString(), tipMs, true, false);
}

void ChartsDisplayWidget::setIcons()
{
    for (QToolButton *button :
         {m_ui->m_showEditButton, m_ui->m_byEditButton, m_ui->m_perEditButton})
        button->setIcon(icon(QStringLiteral("settings_16.png")));
}

void ChartsDisplayWidget::editProperty(int property)
{
    // The buttons are off on the placeholder and "<cards>", but a plan may change under them.
    if (property < 1 || property >= doc()->propertyCount())
        return;
    PropertyDialog dialog(this, property, PropertyDialog::OrderingPage);
    dialog.exec();
}
