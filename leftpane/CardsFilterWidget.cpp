#include "leftpane/CardsFilterWidget.h"

#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"
#include "ui_CardsFilterWidget.h"

#include <QComboBox>
#include <QTimer>

namespace {

enum Column { PropertyColumn = 0, MatchColumn = 1, ValueColumn = 2 };

// The explanation names this many terms, then "…".
const int explainedTerms = 5;

// A term from a damaged file may name a property or a match type past the combos' entries.
// Its combo then shows no entry and keeps the code, and the row's value field keeps the value
// as read: the term is written back unchanged, field by field, until the user picks an entry
// or types a value.
const char keptCodeProperty[] = "keptCode";
const char keptValueProperty[] = "keptValue";

// Shows the code's entry; returns false when there is none.
bool showCode(QComboBox *combo, int code)
{
    const bool named = code >= 0 && code < combo->count();
    combo->setCurrentIndex(named ? code : -1);
    if (!named)
        combo->setProperty(keptCodeProperty, code);
    return named;
}

// The code of the entry the combo shows, or the code it kept.
int shownCode(const QComboBox *combo)
{
    const QVariant kept = combo->property(keptCodeProperty);
    return combo->currentIndex() < 0 && kept.isValid() ? kept.toInt() : combo->currentIndex();
}

} // namespace

CardsFilterWidget::CardsFilterWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsFilterWidget), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_ui->setupUi(this);
    m_ui->m_basicClearButton->hide();
    for (QWidget *button : {static_cast<QWidget *>(m_ui->m_addFilterToolButton),
                            static_cast<QWidget *>(m_ui->m_deleteFilterToolButton),
                            static_cast<QWidget *>(m_ui->m_deleteAllFilterButton)})
        setSmallButtonStyle(button);
    // The form's pictures are the light ones; the style's own are set here as on a change.
    setIcons();
    QFont font = m_ui->m_explainerLabel->font();
    font.setPointSize(11);
    m_ui->m_explainerLabel->setFont(font);

    m_ui->m_basicRadioButton->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_advancedRadioButton->setAttribute(Qt::WA_MacSmallSize);
    m_wheelFilter = new MouseWheelEventFilter(this);
    for (QComboBox *combo : {m_ui->m_advancedShowHideCombo, m_ui->m_advancedMatchingCombo,
                             m_ui->m_basicShowHideCombo}) {
        combo->setAttribute(Qt::WA_MacSmallSize);
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(m_wheelFilter);
    }
    m_ui->m_basicLineEdit->setAttribute(Qt::WA_MacSmallSize);
    // The field sits 3 pixels lower than the combo and the button beside it.
    const int fieldPosition = m_ui->m_basicLayout->indexOf(m_ui->m_basicLineEdit);
    m_ui->m_basicLayout->removeWidget(m_ui->m_basicLineEdit);
    wrapWithSpacers(m_ui->m_basicLineEdit, m_ui->m_basicLayout, 3, 0, fieldPosition);

    clearTable();
    showModePanel();
    updateExplainer();

    connect(m_ui->m_basicRadioButton, &QRadioButton::toggled, this,
            &CardsFilterWidget::onUpdateBasicAdvanced);
    for (QComboBox *combo :
         {m_ui->m_advancedShowHideCombo, m_ui->m_advancedMatchingCombo, m_ui->m_basicShowHideCombo})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &CardsFilterWidget::onFiltersChanged);
    connect(m_ui->m_filterTable, &QTableWidget::itemSelectionChanged, this,
            &CardsFilterWidget::onUpdateSelection);
    connect(m_ui->m_addFilterToolButton, &QToolButton::clicked, this,
            &CardsFilterWidget::onAddFilterRow);
    connect(m_ui->m_deleteFilterToolButton, &QToolButton::clicked, this,
            &CardsFilterWidget::onDeleteFilter);
    connect(m_ui->m_deleteAllFilterButton, &QToolButton::clicked, this,
            &CardsFilterWidget::onDeleteAllFilter);
    connect(m_ui->m_basicLineEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &CardsFilterWidget::onDelayedValueChange);
    connect(m_ui->m_basicLineEdit, &QLineEdit::textChanged, this,
            &CardsFilterWidget::onValueChange);
    connect(m_ui->m_basicClearButton, &QPushButton::clicked, this,
            &CardsFilterWidget::onValueClear);
    connect(m_timer, &QTimer::timeout, this, &CardsFilterWidget::onTimeOut);
}

CardsFilterWidget::~CardsFilterWidget()
{
    delete m_ui;
}

bool CardsFilterWidget::isBasic() const
{
    return m_ui->m_basicRadioButton->isChecked();
}

bool CardsFilterWidget::isShow() const
{
    const QComboBox *combo = isBasic() ? m_ui->m_basicShowHideCombo : m_ui->m_advancedShowHideCombo;
    return combo->currentIndex() == 0;
}

bool CardsFilterWidget::isMatchAny() const
{
    return isBasic() || m_ui->m_advancedMatchingCombo->currentIndex() == 1;
}

QList<FilterTerm> CardsFilterWidget::filterTerms() const
{
    QList<FilterTerm> terms;
    if (isBasic()) {
        // Single spaces only: other white space stays inside a word.
        const QStringList words
            = m_ui->m_basicLineEdit->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &word : words)
            terms.append(FilterTerm(0, MatchType::Contains, word));
        return terms;
    }
    const QTableWidget *table = m_ui->m_filterTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto *value = qobject_cast<QLineEdit *>(table->cellWidget(row, ValueColumn));
        const auto *property = qobject_cast<QComboBox *>(table->cellWidget(row, PropertyColumn));
        const auto *match = qobject_cast<QComboBox *>(table->cellWidget(row, MatchColumn));
        if (!value || !property || !match)
            continue;
        const QVariant keptValue = value->property(keptValueProperty);
        terms.append(FilterTerm(shownCode(property), shownCode(match),
                                keptValue.isValid() ? keptValue.toString()
                                                    : value->text().trimmed().toLower()));
    }
    return terms;
}

void CardsFilterWidget::giveFocus()
{
    if (isBasic()) {
        m_ui->m_basicLineEdit->selectAll();
        m_ui->m_basicLineEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QWidget *first = m_ui->m_filterTable->cellWidget(0, PropertyColumn))
        first->setFocus(Qt::OtherFocusReason);
    else
        m_ui->m_addFilterToolButton->setFocus(Qt::OtherFocusReason);
}

void CardsFilterWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    const Document *plan = doc();
    QTableWidget *table = m_ui->m_filterTable;
    bool reloadDue = false;
    for (const Event &event : events.events) {
        const int property = event.propertyIndex;
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::ViewChanged:
            reloadDue = true;
            break;
        case EventType::FilterChanged:
            // The section's own filter is in the editor already, which may be in use.
            if (events.source != this)
                reloadDue = true;
            break;
        case EventType::PropertyAdded:
            for (int row = 0; row < table->rowCount(); ++row) {
                if (auto *combo = qobject_cast<QComboBox *>(table->cellWidget(row, PropertyColumn)))
                    combo->addItem(plan->propertyName(property));
            }
            break;
        case EventType::PropertyChanged:
            for (int row = 0; row < table->rowCount(); ++row) {
                auto *combo = qobject_cast<QComboBox *>(table->cellWidget(row, PropertyColumn));
                if (combo && property > 0 && property < combo->count())
                    combo->setItemText(property, plan->propertyName(property));
            }
            updateExplainer();
            break;
        case EventType::PropertyDeleted: {
            // The plan has already dropped the terms on that property: the editor follows
            // without writing anything.
            SignalBlocker blocker;
            blocker.add(table);
            for (int row = table->rowCount() - 1; row >= 0; --row) {
                auto *combo = qobject_cast<QComboBox *>(table->cellWidget(row, PropertyColumn));
                if (!combo || property < 1 || property >= combo->count())
                    continue;
                // A kept code (always past the entries) moves down with the plan's terms.
                const QVariant kept = combo->property(keptCodeProperty);
                if (combo->currentIndex() < 0 && kept.isValid() && kept.toInt() > property)
                    combo->setProperty(keptCodeProperty, kept.toInt() - 1);
                if (combo->currentIndex() == property) {
                    table->removeRow(row);
                } else {
                    SignalBlocker comboBlocker;
                    comboBlocker.add(combo);
                    combo->removeItem(property);
                }
            }
            onUpdateRows();
            onUpdateSelection();
            updateExplainer();
            break;
        }
        case EventType::PropertiesReordered:
            followReorderedProperties();
            if (!plan->filterBasic()) {
                const QList<FilterTerm> terms = plan->filterTerms();
                for (const FilterTerm &term : terms) {
                    if (term.propertyIndex > 0)
                        reloadDue = true;
                }
            }
            break;
        default:
            break;
        }
    }
    if (reloadDue)
        loadFromDocument();
}

void CardsFilterWidget::loadFromDocument()
{
    // Typing from before the reload (undo within the pause) must not come back afterwards as
    // a change that would also discard the redo.
    m_timer->stop();
    m_ui->m_basicLineEdit->discard();

    const Document *plan = doc();
    SignalBlocker blocker;
    for (QObject *control : std::initializer_list<QObject *> {
             m_ui->m_filterTable, m_ui->m_basicLineEdit, m_ui->m_basicRadioButton,
             m_ui->m_advancedRadioButton, m_ui->m_advancedMatchingCombo,
             m_ui->m_advancedShowHideCombo, m_ui->m_basicShowHideCombo})
        blocker.add(control);

    clearTable();
    m_ui->m_basicLineEdit->clear();
    m_ui->m_basicClearButton->hide();
    m_ui->m_advancedMatchingCombo->setCurrentIndex(plan->filterMatchAny() ? 1 : 0);
    const int showHide = plan->filterShowsMatching() ? 0 : 1;
    m_ui->m_advancedShowHideCombo->setCurrentIndex(showHide);
    m_ui->m_basicShowHideCombo->setCurrentIndex(showHide);
    const QList<FilterTerm> terms = plan->filterTerms();
    if (!plan->filterBasic()) {
        m_ui->m_advancedRadioButton->setChecked(true);
        for (const FilterTerm &term : terms)
            addFilterRow(term, false);
    } else {
        m_ui->m_basicRadioButton->setChecked(true);
        QStringList words;
        for (const FilterTerm &term : terms)
            words.append(term.value);
        m_ui->m_basicLineEdit->setText(words.join(QLatin1Char(' ')));
        onValueChange();
    }
    showModePanel();
    onUpdateRows();
    onUpdateSelection();
    updateExplainer();
}

void CardsFilterWidget::onAddFilterRow()
{
    addFilterRow(FilterTerm(0, MatchType::Contains, QString()), true);
}

void CardsFilterWidget::onComboChanged()
{
    onFiltersChanged();
}

void CardsFilterWidget::onFiltersChanged()
{
    doc()->setFilter(isBasic(), isShow(), isMatchAny(), filterTerms(), true, false, this);
    updateExplainer();
}

void CardsFilterWidget::onUpdateRows()
{
    const int rows = m_ui->m_filterTable->rowCount();
    m_ui->m_advancedMatchingCombo->setEnabled(rows >= 2);
    m_ui->m_deleteAllFilterButton->setEnabled(rows >= 1);
}

void CardsFilterWidget::onUpdateSelection()
{
    m_ui->m_deleteFilterToolButton->setEnabled(!selectedRows(m_ui->m_filterTable).isEmpty());
}

void CardsFilterWidget::onUpdateBasicAdvanced()
{
    showModePanel();
    onFiltersChanged();
}

void CardsFilterWidget::onValueChange()
{
    m_ui->m_basicClearButton->setVisible(!m_ui->m_basicLineEdit->text().isEmpty());
}

void CardsFilterWidget::onDelayedValueChange()
{
    restartDelayTimer(*m_timer);
}

void CardsFilterWidget::onValueClear()
{
    m_ui->m_basicLineEdit->flush();
    m_ui->m_basicLineEdit->clear();
}

void CardsFilterWidget::flush()
{
    // The basic field's report only starts the section's own pause.
    m_ui->m_basicLineEdit->flush();
    if (m_timer->isActive())
        onTimeOut();
}

void CardsFilterWidget::onTimeOut()
{
    m_timer->stop();
    onFiltersChanged();
}

void CardsFilterWidget::onDeleteFilter()
{
    QTableWidget *table = m_ui->m_filterTable;
    const QList<int> rows = selectedRows(table);
    if (rows.isEmpty())
        return;
    for (int i = rows.size() - 1; i >= 0; --i)
        table->removeRow(rows.at(i));
    if (table->rowCount() > 0)
        table->selectRow(std::min(rows.first(), table->rowCount() - 1));
    onUpdateRows();
    onUpdateSelection();
    onFiltersChanged();
}

void CardsFilterWidget::onDeleteAllFilter()
{
    clearTable();
    onUpdateRows();
    onUpdateSelection();
    onFiltersChanged();
}

void CardsFilterWidget::showEvent(QShowEvent *event)
{
    LeftPaneWidget::showEvent(event);
    // In advanced mode the field is hidden and no tip is shown.
    BalloonTip::showOnce(m_ui->m_basicLineEdit, QStringLiteral("tip_filter_text"),
                         tr("Filter cards"), tr("Show/Hide cards that match the filter text."),
                         QString(), 10000, true, false);
}

void CardsFilterWidget::addFilterRow(const FilterTerm &term, bool focus)
{
    const Document *plan = doc();
    QTableWidget *table = m_ui->m_filterTable;
    const int row = table->rowCount();
    table->insertRow(row);

    auto *property = new QComboBox;
    property->addItem(tr("<Any>"));
    for (int index = 1; index < plan->propertyCount(); ++index)
        property->addItem(plan->propertyName(index));
    auto *match = new QComboBox;
    for (int type = MatchType::Contains; type <= MatchType::LessThan; ++type)
        match->addItem(matchTypeName(type));
    const bool propertyNamed = showCode(property, term.propertyIndex);
    const bool matchNamed = showCode(match, term.matchType);
    const bool named = propertyNamed && matchNamed;
    for (QComboBox *combo : {property, match}) {
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->setAttribute(Qt::WA_MacSmallSize);
        combo->installEventFilter(m_wheelFilter);
    }
    table->setCellWidget(row, PropertyColumn, property);
    connect(property, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsFilterWidget::onComboChanged);
    table->setCellWidget(row, MatchColumn, match);
    connect(match, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsFilterWidget::onComboChanged);

    auto *value = new DelayedEditLineEdit;
    value->setText(term.value);
    if (!named) {
        value->setProperty(keptValueProperty, term.value);
        connect(value, &QLineEdit::textEdited, value,
                [value] { value->setProperty(keptValueProperty, QVariant()); });
    }
    value->setToolTip(tr("The term you wish to filter on (not case-sensitive).")
                      + dateEntryHelpText(false, plan->valueFormats()));
    value->setAttribute(Qt::WA_MacSmallSize);
    table->setCellWidget(row, ValueColumn, value);
    // One pause only: each key restarts the section's own timer.
    connect(value, &QLineEdit::textEdited, this, &CardsFilterWidget::onDelayedValueChange);

    onUpdateRows();
    onUpdateSelection();
    // A row filled from the plan does not take the focus away from where the user is.
    if (focus) {
        table->setCurrentCell(row, PropertyColumn);
        property->setFocus(Qt::OtherFocusReason);
    }
}

// Rows that a reload does not rebuild (those kept while the basic editor is in force, and
// rows on "<Any>") would otherwise list the properties in their old order, so that a row showing
// one property applies to whichever property now holds its index.
void CardsFilterWidget::followReorderedProperties()
{
    const Document *plan = doc();
    QTableWidget *table = m_ui->m_filterTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        auto *combo = qobject_cast<QComboBox *>(table->cellWidget(row, PropertyColumn));
        if (!combo)
            continue;
        const int property
            = combo->currentIndex() > 0 ? plan->propertyIndex(combo->currentText()) : -1;
        SignalBlocker blocker;
        blocker.add(combo);
        for (int index = 1; index < combo->count() && index < plan->propertyCount(); ++index)
            combo->setItemText(index, plan->propertyName(index));
        if (property > 0)
            combo->setCurrentIndex(property);
    }
}

void CardsFilterWidget::clearTable()
{
    SignalBlocker blocker;
    blocker.add(m_ui->m_filterTable);
    m_ui->m_filterTable->setRowCount(0);
    m_ui->m_filterTable->setCurrentItem(nullptr);
}

void CardsFilterWidget::showModePanel()
{
    m_ui->m_basicWidget->setVisible(isBasic());
    m_ui->m_advancedWidget->setVisible(!isBasic());
    layout()->invalidate();
}

void CardsFilterWidget::updateExplainer()
{
    const Document *plan = doc();
    const QList<FilterTerm> terms = filterTerms();
    QStringList parts;
    for (const FilterTerm &term : terms) {
        if (parts.size() == explainedTerms) {
            parts.append(QStringLiteral("…"));
            break;
        }
        const QString property = term.propertyIndex == 0 ? tr("Any Property or Notes")
                                                         : plan->propertyName(term.propertyIndex);
        parts.append(QStringLiteral("(%1 %2 \"%3\")")
                         .arg(property, matchTypeName(term.matchType), term.value.trimmed()));
    }
    if (parts.isEmpty()) {
        m_ui->m_explainerLabel->setText(tr("No filtering"));
        emit filteredOnOff(false);
        return;
    }
    const QString joined
        = parts.join(isMatchAny() ? QStringLiteral(" OR ") : QStringLiteral(" AND "));
    m_ui->m_explainerLabel->setText((isShow() ? QStringLiteral("SHOW ") : QStringLiteral("HIDE "))
                                    + joined);
    emit filteredOnOff(true);
}

void CardsFilterWidget::setIcons()
{
    m_ui->m_addFilterToolButton->setIcon(icon(QStringLiteral("add_12.png")));
    m_ui->m_deleteFilterToolButton->setIcon(icon(QStringLiteral("minus_12.png")));
    m_ui->m_deleteAllFilterButton->setIcon(icon(QStringLiteral("delete_16.png")));
    m_ui->m_basicClearButton->setIcon(icon(QStringLiteral("search_cancel.png")));
}
