#include "charts/ChartsFilterWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "model/Document.h"
#include "ui_ChartsFilterWidget.h"

ChartsFilterWidget::ChartsFilterWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::ChartsFilterWidget)
{
    m_ui->setupUi(this);
    m_ui->m_useCardsPaneFilterCheckBox->setAttribute(Qt::WA_MacSmallSize);
    connect(m_ui->m_useCardsPaneFilterCheckBox, &QCheckBox::toggled, this,
            &ChartsFilterWidget::onUseCardFilterToggled);
}

ChartsFilterWidget::~ChartsFilterWidget()
{
    delete m_ui;
}

void ChartsFilterWidget::giveFocus()
{
    m_ui->m_useCardsPaneFilterCheckBox->setFocus(Qt::OtherFocusReason);
}

void ChartsFilterWidget::onUseCardFilterToggled()
{
    const bool on = m_ui->m_useCardsPaneFilterCheckBox->isChecked();
    doc()->setChartsFiltering(on, true);
    emit filteredOnOff(on);
}

void ChartsFilterWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    for (const Event &event : events.events) {
        if (event.type != EventType::AllChanged)
            continue;
        const bool on = doc()->chartsFiltering();
        {
            SignalBlocker blocker;
            blocker.add(m_ui->m_useCardsPaneFilterCheckBox);
            m_ui->m_useCardsPaneFilterCheckBox->setChecked(on);
        }
        emit filteredOnOff(on);
    }
}
