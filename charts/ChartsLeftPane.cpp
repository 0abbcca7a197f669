#include "charts/ChartsLeftPane.h"

#include "charts/ChartsAppearanceWidget.h"
#include "charts/ChartsDisplayWidget.h"
#include "charts/ChartsFilterWidget.h"
#include "common/app/Accessors.h"
#include "leftpane/Concertina.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"

ChartsLeftPane::ChartsLeftPane(QWidget *parent, ChartsScene *scene, ChartsView *view)
    : LeftPane(parent)
{
    // The sections follow the plan; the view needs nothing from the pane.
    Q_UNUSED(view)
    m_displayWidget = new ChartsDisplayWidget(m_concertina);
    m_concertina->addWidget(tr("Display"), m_displayWidget, true, QStringLiteral("Ctrl+G"));
    m_filterWidget = new ChartsFilterWidget(m_concertina);
    m_filterHeader
        = m_concertina->addWidget(tr("Filter"), m_filterWidget, false, QStringLiteral("Ctrl+F"));
    m_appearanceWidget = new ChartsAppearanceWidget(m_concertina, scene);
    m_concertina->addWidget(tr("Appearance"), m_appearanceWidget, false, QStringLiteral("Ctrl+J"));
    m_concertina->addStretch();
    m_concertina->adjustSize();
    onSizeChanged();
}

void ChartsLeftPane::connectToDocument()
{
    Document *plan = doc();
    connect(plan, &Document::changed, m_displayWidget, &ChartsDisplayWidget::onChangedDoc);
    connect(plan, &Document::changed, m_appearanceWidget, &ChartsAppearanceWidget::onChangedDoc);
    connect(plan, &Document::changed, m_filterWidget, &ChartsFilterWidget::onChangedDoc);
    connect(m_filterWidget, &ChartsFilterWidget::filteredOnOff, this,
            &ChartsLeftPane::onFilteredOnOff);
}

void ChartsLeftPane::onFilteredOnOff(bool filtered)
{
    QString text = m_filterHeader->text();
    text.remove(QLatin1Char('*'));
    if (filtered)
        text.append(QLatin1Char('*'));
    m_filterHeader->setText(text);
}
