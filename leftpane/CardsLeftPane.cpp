#include "leftpane/CardsLeftPane.h"

#include "common/app/Accessors.h"
#include "leftpane/CardsAppearanceWidget.h"
#include "leftpane/CardsColorLayoutWidget.h"
#include "leftpane/CardsFilterWidget.h"
#include "leftpane/CardsSearchWidget.h"
#include "leftpane/CardsShowPropertiesWidget.h"
#include "leftpane/CardsSliceWidget.h"
#include "leftpane/Concertina.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"

CardsLeftPane::CardsLeftPane(QWidget *parent, CardsScene *scene, CardsView *view)
    : LeftPane(parent), m_scene(scene), m_view(view)
{
    m_colorLayoutWidget = new CardsColorLayoutWidget(m_concertina, m_scene);
    m_concertina->addWidget(tr("Layout/Color"), m_colorLayoutWidget, true,
                            QStringLiteral("Ctrl+B"));
    m_showPropertiesWidget = new CardsShowPropertiesWidget(m_concertina, m_scene, m_view);
    m_concertina->addWidget(tr("Show Properties"), m_showPropertiesWidget, false,
                            QStringLiteral("Ctrl+K"));
    m_filterWidget = new CardsFilterWidget(m_concertina);
    m_filterHeader
        = m_concertina->addWidget(tr("Filter"), m_filterWidget, false, QStringLiteral("Ctrl+F"));
    m_sliceWidget = new CardsSliceWidget(m_concertina);
    m_concertina->addWidget(tr("Stored Views"), m_sliceWidget, false, QStringLiteral("Ctrl+R"));
    m_searchWidget = new CardsSearchWidget(m_concertina);
    m_concertina->addWidget(tr("Search"), m_searchWidget, false, QStringLiteral("Ctrl+S"));
    m_appearanceWidget = new CardsAppearanceWidget(m_concertina);
    m_concertina->addWidget(tr("Appearance"), m_appearanceWidget, false, QStringLiteral("Ctrl+J"));
    m_concertina->addStretch();
    m_concertina->adjustSize();
    onSizeChanged();
}

void CardsLeftPane::connectToDocument()
{
    Document *plan = doc();
    connect(plan, &Document::changed, m_sliceWidget, &CardsSliceWidget::onChangedDoc);
    connect(plan, &Document::changed, m_colorLayoutWidget, &CardsColorLayoutWidget::onChangedDoc);
    connect(plan, &Document::changed, m_searchWidget, &CardsSearchWidget::onChangedDoc);
    connect(plan, &Document::changed, m_filterWidget, &CardsFilterWidget::onChangedDoc);
    connect(plan, &Document::changed, m_showPropertiesWidget,
            &CardsShowPropertiesWidget::onChangedDoc);
    connect(plan, &Document::changed, m_appearanceWidget, &CardsAppearanceWidget::onChangedDoc);
    connect(m_filterWidget, &CardsFilterWidget::filteredOnOff, this,
            &CardsLeftPane::onFilteredOnOff);
}

void CardsLeftPane::onFilteredOnOff(bool filtered)
{
    QString text = m_filterHeader->text();
    text.remove(QLatin1Char('*'));
    if (filtered)
        text += QLatin1Char('*');
    m_filterHeader->setText(text);
}
