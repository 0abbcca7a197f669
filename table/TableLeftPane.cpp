#include "table/TableLeftPane.h"

#include "common/app/Accessors.h"
#include "leftpane/Concertina.h"
#include "leftpane/HeaderButton.h"
#include "model/Document.h"
#include "table/TableAppearanceWidget.h"
#include "table/TableFilterWidget.h"

TableLeftPane::TableLeftPane(QWidget *parent, TableView *tableView)
    : LeftPane(parent), m_tableView(tableView)
{
    m_filterWidget = new TableFilterWidget(this, m_tableView);
    m_filterHeader
        = m_concertina->addWidget(tr("Filter"), m_filterWidget, true, QStringLiteral("Ctrl+F"));
    m_appearanceWidget = new TableAppearanceWidget(m_concertina);
    m_concertina->addWidget(tr("Appearance"), m_appearanceWidget, false, QStringLiteral("Ctrl+J"));
    m_concertina->addStretch();
    m_concertina->adjustSize();
    onSizeChanged();
}

void TableLeftPane::connectToDocument()
{
    connect(doc(), &Document::changed, m_filterWidget, &TableFilterWidget::onChangedDoc);
    connect(m_filterWidget, &TableFilterWidget::filteredOnOff, this,
            &TableLeftPane::onFilteredOnOff);
    connect(doc(), &Document::changed, m_appearanceWidget, &TableAppearanceWidget::onChangedDoc);
}

void TableLeftPane::onFilteredOnOff(bool filtered)
{
    QString text = m_filterHeader->text();
    text.remove(QLatin1Char('*'));
    if (filtered)
        text.append(QLatin1Char('*'));
    m_filterHeader->setText(text);
}
