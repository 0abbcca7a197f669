#include "leftpane/CardsPropertiesTable.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/MouseWheelEventFilter.h"
#include "model/Document.h"

#include <algorithm>

#include <QComboBox>
#include <QHeaderView>

namespace {

// The stored code of each combo item, top to bottom.
const int comboVisibilities[]
    = {PropertyVisibility::Text,     PropertyVisibility::BoldText, PropertyVisibility::ItalicText,
       PropertyVisibility::Square,   PropertyVisibility::Circle,   PropertyVisibility::Star,
       PropertyVisibility::Triangle, PropertyVisibility::Diamond,  PropertyVisibility::Hidden};
const int comboItems = int(sizeof(comboVisibilities) / sizeof(comboVisibilities[0]));

const int smallestHeight = 30;
const int largestHeight = 240;

} // namespace

CardsPropertiesTable::CardsPropertiesTable(QWidget *parent)
    : QTableWidget(0, 1, parent), m_wheelFilter(new MouseWheelEventFilter(this))
{
    horizontalHeader()->hide();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
}

int CardsPropertiesTable::comboIndexToVisibility(int index)
{
    if (index < 0 || index >= comboItems)
        return PropertyVisibility::Text;
    return comboVisibilities[index];
}

int CardsPropertiesTable::visibilityToComboIndex(int visibility)
{
    for (int index = 0; index < comboItems; ++index) {
        if (comboVisibilities[index] == visibility)
            return index;
    }
    return 0;
}

QString CardsPropertiesTable::visibilityName(int visibility)
{
    switch (visibility) {
    case PropertyVisibility::Hidden:
        return tr("Hide");
    case PropertyVisibility::Text:
        return tr("Show as text");
    case PropertyVisibility::Square:
        return tr("Show as colored square");
    case PropertyVisibility::Circle:
        return tr("Show as colored circle");
    case PropertyVisibility::Star:
        return tr("Show as colored star");
    case PropertyVisibility::Triangle:
        return tr("Show as colored triangle");
    case PropertyVisibility::Diamond:
        return tr("Show as colored diamond");
    case PropertyVisibility::BoldText:
        return tr("Show as bold text");
    case PropertyVisibility::ItalicText:
        return tr("Show as italic text");
    default:
        return QString();
    }
}

void CardsPropertiesTable::addPropertyRow(int propertyIndex)
{
    const Document *plan = doc();
    const int row = rowCount();
    insertRow(row);
    setVerticalHeaderItem(row, new QTableWidgetItem(plan->propertyName(propertyIndex)));
    auto *combo = new QComboBox(this);
    combo->setAttribute(Qt::WA_MacSmallSize);
    // The wheel changes only a combo the user has focused; otherwise it scrolls the pane.
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(m_wheelFilter);
    for (int visibility : comboVisibilities)
        combo->addItem(visibilityName(visibility));
    combo->setCurrentIndex(visibilityToComboIndex(plan->propertyVisibility(propertyIndex)));
    setCellWidget(row, 0, combo);
    updateGeometry();
    // Connected last, so that showing the plan's choice reports nothing.
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CardsPropertiesTable::onComboIndexChanged);
}

void CardsPropertiesTable::setPropertyName(int propertyIndex)
{
    if (propertyIndex < 0 || propertyIndex >= rowCount())
        return;
    setVerticalHeaderItem(propertyIndex, new QTableWidgetItem(doc()->propertyName(propertyIndex)));
}

void CardsPropertiesTable::removePropertyRow(int row)
{
    removeRow(row);
    updateGeometry();
}

void CardsPropertiesTable::showVisibilities()
{
    const Document *plan = doc();
    for (int row = 0; row < rowCount(); ++row) {
        auto *combo = qobject_cast<QComboBox *>(cellWidget(row, 0));
        if (!combo)
            continue;
        SignalBlocker blocker;
        blocker.add(combo);
        combo->setCurrentIndex(visibilityToComboIndex(plan->propertyVisibility(row)));
    }
}

void CardsPropertiesTable::onComboIndexChanged(int index)
{
    // Row 0 is the hidden placeholder: never a property to show.
    for (int row = 1; row < rowCount(); ++row) {
        if (cellWidget(row, 0) == sender()) {
            emit propertyVisibilityChanged(row, comboIndexToVisibility(index));
            return;
        }
    }
}

QSize CardsPropertiesTable::sizeHint() const
{
    const QSize own = QAbstractScrollArea::sizeHint();
    int height = own.height();
    if (rowCount() > 0) {
        height = 2;
        for (int row = 0; row < rowCount(); ++row) {
            if (!isRowHidden(row))
                height += rowHeight(row);
        }
    }
    return QSize(own.width(), std::clamp(height, smallestHeight, largestHeight));
}
