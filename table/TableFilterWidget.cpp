#include "table/TableFilterWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "table/TableView.h"
#include "ui_TableFilterWidget.h"

TableFilterWidget::TableFilterWidget(QWidget *parent, TableView *tableView)
    : LeftPaneWidget(parent), m_ui(new Ui::TableFilterWidget), m_tableView(tableView)
{
    m_ui->setupUi(this);
    m_ui->m_clearButton->hide();
    m_ui->m_showHideCombo->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_lineEdit->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_lineEdit->setToolTip(QStringLiteral("%1 (%2)").arg(
        m_ui->m_lineEdit->toolTip(), nativeShortcutText(QStringLiteral("Ctrl+F"))));
    m_ui->m_showHideCombo->installEventFilter(new MouseWheelEventFilter(this));
    onFilterChanged();
    connect(m_ui->m_showHideCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TableFilterWidget::onFilterChanged);
    connect(m_ui->m_lineEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &TableFilterWidget::onFilterChanged);
    connect(m_ui->m_lineEdit, &QLineEdit::textChanged, this, &TableFilterWidget::onValueChange);
    connect(m_ui->m_clearButton, &QPushButton::clicked, this, &TableFilterWidget::onValueClear);
    connect(m_tableView, &TableView::removeFilterRequested, this,
            &TableFilterWidget::onRemoveFilter);
}

TableFilterWidget::~TableFilterWidget()
{
    delete m_ui;
}

void TableFilterWidget::onFilterChanged()
{
    // Leading, trailing and repeated spaces make no empty terms.
    const QStringList terms = m_ui->m_lineEdit->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const bool show = m_ui->m_showHideCombo->currentIndex() == 0;
    m_tableView->setSearch(show, terms);
    updateExplainer(show, terms);
}

void TableFilterWidget::updateExplainer(bool show, const QStringList &terms)
{
    if (terms.isEmpty()) {
        m_ui->m_explainerLabel->setText(tr("No filtering"));
        emit filteredOnOff(false);
        return;
    }
    QStringList quoted;
    const QChar quote(QLatin1Char('"'));
    for (const QString &term : terms)
        quoted.append(QStringLiteral("%1%2%3").arg(quote, term, quote));
    m_ui->m_explainerLabel->setText(
        tr("%1 (row Contains %2)")
            .arg(show ? tr("SHOW") : tr("HIDE"), quoted.join(QStringLiteral(" OR "))));
    emit filteredOnOff(true);
}

void TableFilterWidget::onValueChange()
{
    m_ui->m_clearButton->setVisible(!m_ui->m_lineEdit->text().isEmpty());
}

void TableFilterWidget::onValueClear()
{
    // Typing still waiting for the pause goes through first, so the clearing comes last.
    m_ui->m_lineEdit->flush();
    m_ui->m_lineEdit->clear();
}

void TableFilterWidget::onRemoveFilter()
{
    m_ui->m_lineEdit->clear();
    // At once, not after the typing pause: the table is to show the card it is asked for now.
    m_ui->m_lineEdit->flush();
}

void TableFilterWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    SignalBlocker blocker;
    blocker.add(this);
    followStyle(events);
    for (const Event &event : events.events) {
        if (event.type == EventType::AllChanged) {
            // A new plan state starts unfiltered once the pause has passed.
            m_ui->m_lineEdit->flush();
            m_ui->m_lineEdit->clear();
        }
    }
}

void TableFilterWidget::setIcons()
{
    m_ui->m_clearButton->setIcon(icon(QStringLiteral("search_cancel.png")));
}

void TableFilterWidget::giveFocus()
{
    m_ui->m_lineEdit->selectAll();
    m_ui->m_lineEdit->setFocus();
}
