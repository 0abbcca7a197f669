#include "properties/PropertiesView.h"

#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"
#include "properties/PropertyDialog.h"

#include <QComboBox>
#include <QPushButton>

namespace {

// A property name is at most this long, so that it fits column and row headers.
constexpr int MaxNameLength = 30;
constexpr int TextColumnWidth = 250;
constexpr int ButtonColumnWidth = 18;
constexpr int ButtonIconSize = 14;

const char *const TopIcon = "arrow_top_32.png";
const char *const UpIcon = "arrow_up_32.png";
const char *const DownIcon = "arrow_down_32.png";
const char *const BottomIcon = "arrow_bottom_32.png";
const char *const EditIcon = "settings_16.png";

QIcon namedIcon(const char *name)
{
    return icon(QLatin1String(name));
}

} // namespace

struct PropertiesView::RowParts
{
    RowParts()
        : top(namedIcon(TopIcon)),
          up(namedIcon(UpIcon)),
          down(namedIcon(DownIcon)),
          bottom(namedIcon(BottomIcon)),
          edit(namedIcon(EditIcon)),
          defaultToolTip(tr("Edit the property default value.%1")
                             .arg(dateEntryHelpText(true, doc()->valueFormats())))
    { }

    QIcon top;
    QIcon up;
    QIcon down;
    QIcon bottom;
    QIcon edit;
    QString defaultToolTip;
};

PropertiesView::PropertiesView(QWidget *parent) : BaseTableView(parent)
{
    setAlternatingRowColors(true);
    connect(this, &QTableWidget::cellChanged, this, &PropertiesView::onCellChanged);
}

QList<int> PropertiesView::selectedPropertyIndexes() const
{
    QList<int> properties = selectedRows();
    for (int &row : properties)
        row = propertyOfRow(row);
    return properties;
}

void PropertiesView::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    SignalBlocker blocker;
    blocker.add(this);
    bool rowsChanged = false;
    for (const Event &event : events.events) {
        const int property = event.propertyIndex;
        switch (event.type) {
        case EventType::AllChanged:
        case EventType::PropertiesReordered:
            rebuild();
            rowsChanged = true;
            break;
        case EventType::PropertyAdded:
            // Properties are appended; one that lands anywhere else would put the widget
            // lists out of row order, so the table starts afresh.
            if (rowOfProperty(property) == m_typeCombos.size())
                addPropertyRow(property, RowParts());
            else
                rebuild();
            rowsChanged = true;
            break;
        case EventType::PropertyChanged:
            updatePropertyRow(property);
            break;
        case EventType::PropertyDeleted:
            removePropertyRow(property);
            rowsChanged = true;
            break;
        case EventType::UiStyleChanged:
            reloadIcons();
            break;
        default:
            break;
        }
    }
    if (rowsChanged)
        updateMoveButtons();
}

void PropertiesView::rebuild()
{
    UpdateBlocker updates(this);
    m_typeCombos.clear();
    for (QList<QPushButton *> *list :
         {&m_topButtons, &m_upButtons, &m_downButtons, &m_bottomButtons, &m_editButtons})
        list->clear();
    clear();
    setRowCount(0);
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Name"), tr("Type"), tr("Default value"), QString(), QString(),
                               QString(), QString(), QString()});
    for (int column = 0; column < ColumnCount; ++column)
        setColumnWidth(column, column <= DefaultColumn ? TextColumnWidth : ButtonColumnWidth);

    const Document *plan = doc();
    const RowParts parts;
    setRowCount(plan->propertyCount() - 1);
    for (int property : plan->propertyIndexes(false))
        addPropertyRow(property, parts);
    setColumnHidden(TopColumn, true);
    setColumnHidden(BottomColumn, true);
}

void PropertiesView::addPropertyRow(int property, const RowParts &parts)
{
    const Document *plan = doc();
    const int row = rowOfProperty(property);
    if (rowCount() < property)
        setRowCount(property);

    auto *name = new QTableWidgetItem(plan->propertyName(property));
    name->setToolTip(tr("Edit the property name."));
    setItem(row, NameColumn, name);

    auto *combo = new QComboBox(this);
    combo->setAttribute(Qt::WA_MacSmallSize);
    combo->setToolTip(tr("Edit the property type."));
    for (int type = PropertyType::Automatic; type <= PropertyType::Date; ++type)
        combo->addItem(propertyTypeName(type));
    combo->setCurrentIndex(PropertyDialog::typeEntry(plan->propertyType(property)));
    setCellWidget(row, TypeColumn, combo);
    m_typeCombos.append(combo);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PropertiesView::onTypeChanged);

    auto *defaultValue = new QTableWidgetItem(plan->propertyDefaultValue(property));
    defaultValue->setToolTip(parts.defaultToolTip);
    setItem(row, DefaultColumn, defaultValue);

    addButton(row, TopColumn, parts.top, m_topButtons, &PropertiesView::onTopClicked)
        ->setToolTip(tr("Move the property to first in the property order."));
    addButton(row, UpColumn, parts.up, m_upButtons, &PropertiesView::onUpClicked)
        ->setToolTip(tr("Move the property up one in the property order."));
    addButton(row, DownColumn, parts.down, m_downButtons, &PropertiesView::onDownClicked)
        ->setToolTip(tr("Move the property down one in the property order."));
    addButton(row, BottomColumn, parts.bottom, m_bottomButtons, &PropertiesView::onBottomClicked)
        ->setToolTip(tr("Move the property to last in the property order."));
    addButton(row, EditColumn, parts.edit, m_editButtons, &PropertiesView::onEditClicked)
        ->setToolTip(tr("Edit the property in the 'Edit Property' window."));
}

QPushButton *PropertiesView::addButton(int row, int column, const QIcon &icon,
                                       QList<QPushButton *> &list,
                                       void (PropertiesView::*onClicked)())
{
    auto *button = new QPushButton(this);
    button->setFlat(true);
    button->setIcon(icon);
    button->setIconSize(QSize(ButtonIconSize, ButtonIconSize));
    setCellWidget(row, column, button);
    list.append(button);
    connect(button, &QPushButton::clicked, this, onClicked);
    return button;
}

void PropertiesView::updatePropertyRow(int property)
{
    const Document *plan = doc();
    const int row = rowOfProperty(property);
    if (row < 0 || row >= rowCount())
        return;
    SignalBlocker blocker;
    blocker.add(this);
    QTableWidgetItem *name = item(row, NameColumn);
    if (name && name->text() != plan->propertyName(property))
        name->setText(plan->propertyName(property));
    const int typeEntry = PropertyDialog::typeEntry(plan->propertyType(property));
    if (row < m_typeCombos.size() && m_typeCombos.at(row)->currentIndex() != typeEntry) {
        SignalBlocker comboBlocker;
        comboBlocker.add(m_typeCombos.at(row));
        m_typeCombos.at(row)->setCurrentIndex(typeEntry);
    }
    QTableWidgetItem *defaultValue = item(row, DefaultColumn);
    if (defaultValue && defaultValue->text() != plan->propertyDefaultValue(property))
        defaultValue->setText(plan->propertyDefaultValue(property));
}

void PropertiesView::removePropertyRow(int property)
{
    const int row = rowOfProperty(property);
    if (row < 0 || row >= rowCount())
        return;
    if (row < m_typeCombos.size()) {
        m_typeCombos.removeAt(row);
        for (QList<QPushButton *> *list :
             {&m_topButtons, &m_upButtons, &m_downButtons, &m_bottomButtons, &m_editButtons})
            list->removeAt(row);
    }
    removeRow(row);
}

void PropertiesView::reloadIcons()
{
    const RowParts parts;
    const QList<QPair<QList<QPushButton *> *, const QIcon *>> lists {
        {&m_editButtons, &parts.edit},
        {&m_topButtons, &parts.top},
        {&m_upButtons, &parts.up},
        {&m_downButtons, &parts.down},
        {&m_bottomButtons, &parts.bottom}};
    for (const auto &list : lists) {
        for (QPushButton *button : qAsConst(*list.first))
            button->setIcon(*list.second);
    }
}

void PropertiesView::updateMoveButtons()
{
    const int last = m_upButtons.size() - 1;
    for (int row = 0; row <= last; ++row) {
        m_topButtons.at(row)->setEnabled(row != 0);
        m_upButtons.at(row)->setEnabled(row != 0);
        m_downButtons.at(row)->setEnabled(row != last);
        m_bottomButtons.at(row)->setEnabled(row != last);
    }
}

void PropertiesView::setCellText(int row, int column, const QString &text)
{
    SignalBlocker blocker;
    blocker.add(this);
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
}

void PropertiesView::onCellChanged(int row, int column)
{
    Document *plan = doc();
    QTableWidgetItem *cell = item(row, column);
    if (!cell || row < 0 || propertyOfRow(row) >= plan->propertyCount() || m_handlingCellChange)
        return;
    m_handlingCellChange = true;
    const int property = propertyOfRow(row);
    const QString text = cell->text().trimmed();
    if (column == DefaultColumn) {
        if (text != plan->propertyDefaultValue(property))
            plan->setPropertyDefaultValue(property, text, true);
        else
            setCellText(row, column, text);
    } else if (column == NameColumn) {
        renameProperty(property, text);
    }
    m_handlingCellChange = false;
}

void PropertiesView::renameProperty(int property, const QString &name)
{
    Document *plan = doc();
    const QString current = plan->propertyName(property);
    if (name == current) {
        // Blanks typed around the name go; the name stays.
        setCellText(rowOfProperty(property), NameColumn, current);
        return;
    }
    QString refusal;
    const int namesake = plan->propertyIndex(name);
    if (name.isEmpty())
        refusal = tr("The property name cannot be empty.");
    else if (name.size() > MaxNameLength)
        refusal = tr("The maximum property name length is %1 characters.").arg(MaxNameLength);
    else if (!Property::reservedName(name).isEmpty())
        refusal = tr("\"%1\" is a reserved name.").arg(Property::reservedName(name));
    else if (namesake != -1 && namesake != property)
        refusal = tr("A property with the name '%1' already exists.").arg(name);
    if (!refusal.isEmpty()) {
        if (mayAsk())
            criticalMessage(this, refusal, QMessageBox::Ok);
        setCellText(rowOfProperty(property), NameColumn, plan->propertyName(property));
        return;
    }
    const Document::ViewNames viewNames
        = offerRenameInStoredViews(*plan, this, property, name, m_mayAsk);
    plan->setPropertyName(property, name, viewNames, true);
}

void PropertiesView::commitOpenEditor(const std::function<bool()> &mayAsk)
{
    m_mayAsk = mayAsk;
    commitOpenEditor();
    m_mayAsk = nullptr;
}

void PropertiesView::onTypeChanged()
{
    const int position = m_typeCombos.indexOf(qobject_cast<QComboBox *>(sender()));
    if (position < 0)
        return;
    Document *plan = doc();
    const int property = propertyOfRow(position);
    const int type = m_typeCombos.at(position)->currentIndex();
    if (property < plan->propertyCount() && type != plan->propertyType(property))
        plan->setPropertyType(property, type, true);
}

void PropertiesView::onEditClicked()
{
    const int position = m_editButtons.indexOf(qobject_cast<QPushButton *>(sender()));
    if (position < 0)
        return;
    PropertyDialog dialog(this, propertyOfRow(position), PropertyDialog::PredefinedValuesPage);
    dialog.exec();
}

void PropertiesView::onTopClicked()
{
    moveProperty(m_topButtons, Move::ToFirst);
}

void PropertiesView::onUpClicked()
{
    moveProperty(m_upButtons, Move::Up);
}

void PropertiesView::onDownClicked()
{
    moveProperty(m_downButtons, Move::Down);
}

void PropertiesView::onBottomClicked()
{
    moveProperty(m_bottomButtons, Move::ToLast);
}

void PropertiesView::moveProperty(const QList<QPushButton *> &buttons, Move move)
{
    Document *plan = doc();
    const int position = buttons.indexOf(qobject_cast<QPushButton *>(sender()));
    const int property = propertyOfRow(position);
    if (position < 0 || property >= plan->propertyCount())
        return;
    const int lastProperty = plan->propertyCount() - 1;
    int other = property;
    switch (move) {
    case Move::ToFirst:
        other = 1;
        break;
    case Move::Up:
        other = property - 1;
        break;
    case Move::Down:
        other = property + 1;
        break;
    case Move::ToLast:
        other = lastProperty;
        break;
    }
    // The disabled buttons keep the move inside the user's properties; a stray click on a
    // button of a row that is going away must not move the placeholder either.
    if (other < 1 || other > lastProperty)
        return;
    PropertyReorderMap newToOld;
    for (int index = 0; index < plan->propertyCount(); ++index)
        newToOld.insert(index, index);
    newToOld[property] = other;
    newToOld[other] = property;
    // Rebuilds this table before it returns: the buttons and their lists are new after it.
    plan->reorderProperties(newToOld, true);
}

void PropertiesView::paintEvent(QPaintEvent *event)
{
    BaseTableView::paintEvent(event);
    drawCenteredMessage(emptyPlanHint());
    drawFullScreenExitMessage();
}
