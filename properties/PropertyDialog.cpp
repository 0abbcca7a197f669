#include "properties/PropertyDialog.h"

#include "common/app/Accessors.h"
#include "common/core/NumberDateText.h"
#include "common/core/RelativeDates.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DatePopup.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/LongTextDelegate.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Prompts.h"
#include "common/widgets/Settings.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"
#include "properties/ColorSwatchDelegate.h"
#include "properties/RowOrderButtons.h"
#include "ui_PropertyDialog.h"

#include <algorithm>

#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QSet>

namespace {

// A property name is at most this long, so that it fits column and row headers.
constexpr int MaxNameLength = 30;
// The plan's bin lists stop at this many bins, the last one taking the rest of the range.
constexpr int MaxBins = 500;

QString shortestNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// All labels when there are few; otherwise the first two, an ellipsis and the last one.
QString binLabels(const QStringList &names)
{
    if (names.size() <= 4)
        return names.join(QLatin1Char('\n'));
    return QStringList {names.at(0), names.at(1), QString(QChar(0x2026)), names.last()}.join(
        QLatin1Char('\n'));
}

QString binsPreview(const QString &minimum, const QString &maximum, const QStringList &names)
{
    const int count = names.size();
    return QStringLiteral("Minimum=%1, Maximum=%2\n%3 %4%5:\n%6")
        .arg(minimum, maximum, QString::number(count),
             count <= 1 ? QStringLiteral("bin") : QStringLiteral("bins"),
             count == MaxBins ? QStringLiteral(" (maximum allowed)") : QString(), binLabels(names));
}

// Makes rows from the row given on for count more, and has fill(row, i) put the items of the
// i-th of them. The views hear of the items once, not once per cell: a property may have tens
// of thousands of values, and each cell's change signal costs them far more than the item.
template<typename Fill>
void fillRows(QTableWidget *table, int firstRow, int count, Fill fill)
{
    table->setRowCount(firstRow + count);
    {
        const QSignalBlocker modelSignals(table->model());
        for (int i = 0; i < count; ++i)
            fill(firstRow + i, i);
    }
    if (count > 0)
        table->verticalHeader()->headerDataChanged(Qt::Vertical, firstRow, firstRow + count - 1);
    table->viewport()->update();
}

void fillTexts(QTableWidget *table, int firstRow, const QStringList &texts)
{
    fillRows(table, firstRow, texts.size(),
             [&](int row, int i) { table->setItem(row, 0, new QTableWidgetItem(texts.at(i))); });
}

} // namespace

PropertyDialog::PropertyDialog(QWidget *parent, int propertyIndex, int tabIndex)
    : QDialog(parent), m_ui(new Ui::PropertyDialog), m_propertyIndex(propertyIndex)
{
    const Document *plan = doc();
    m_validIndex
        = propertyIndex == -1 || (propertyIndex >= 1 && propertyIndex < plan->propertyCount());
    const bool editMode = m_validIndex && !isAddMode();

    m_ui->setupUi(this);
    prepareDialog(this);
    setSmallButtonStyle(m_ui->m_calendarButton);
    m_ui->m_calendarButton->setIcon(icon(QStringLiteral("calendar_16.png")));
    m_ui->m_addValueButton->setIcon(icon(QStringLiteral("add_12.png")));
    m_ui->m_deleteValueButton->setIcon(icon(QStringLiteral("minus_12.png")));
    m_orderButtons = new RowOrderButtons(m_ui->m_orderingTable, m_ui->m_topButton, m_ui->m_upButton,
                                         m_ui->m_downButton, m_ui->m_bottomButton,
                                         m_ui->m_alphaSortButton, this);

    m_ui->m_nameEdit->setMaxLength(MaxNameLength);
    setWindowTitle(isAddMode() ? tr("Add Property") : tr("Edit Property"));
    for (int type = PropertyType::Automatic; type <= PropertyType::Date; ++type)
        m_ui->m_userTypeComboBox->addItem(propertyTypeName(type));

    QTableWidget *predefined = m_ui->m_predefinedValuesTable;
    predefined->setColumnCount(1);
    predefined->setItemDelegate(new LongTextDelegate(predefined));
    predefined->horizontalHeader()->hide();
    predefined->verticalHeader()->hide();
    // Rows stay sorted by text, descending, with a row not typed into yet below the others.
    predefined->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    auto *swatches = new ColorSwatchDelegate(m_ui->m_colorsTableWidget);
    connect(swatches, &ColorSwatchDelegate::clicked, this,
            [this](const QModelIndex &index) { onColorRowClicked(index.row()); });
    m_ui->m_tabWidget->setCurrentIndex(tabIndex);

    if (editMode) {
        m_actualType = plan->detectActualPropertyType(propertyIndex);
        m_ui->m_nameEdit->setText(plan->propertyName(propertyIndex));
        const int declaredType = plan->propertyType(propertyIndex);
        m_ui->m_userTypeComboBox->setCurrentIndex(typeEntry(declaredType));
        if (typeEntry(declaredType) != declaredType)
            m_keptType = declaredType;
        m_ui->m_defaultValueEdit->setText(plan->propertyDefaultValue(propertyIndex));
        m_ui->m_defaultValueEdit->setToolTip(m_ui->m_defaultValueEdit->toolTip()
                                             + dateEntryHelpText(true, plan->valueFormats()));
        m_appearance = plan->propertyAppearance(propertyIndex);
        m_usedValues = plan->values(propertyIndex, ValueListOptions().withoutPredefined());

        const QStringList stored = plan->values(propertyIndex, ValueListOptions().withoutUsed());
        predefined->setSortingEnabled(false);
        fillTexts(predefined, 0, stored);
        predefined->setSortingEnabled(true);

        fillTexts(m_ui->m_orderingTable, 0, m_appearance.textOrder());
    }

    onUserTypeChanged();
    updateAddCurrentValuesButton();

    connect(m_ui->m_userTypeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PropertyDialog::onUserTypeChanged);
    connect(m_ui->m_userTypeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { m_keptType.reset(); });
    connect(m_ui->m_addCurrentValuesButton, &QPushButton::clicked, this,
            &PropertyDialog::onAddCurrentValues);
    connect(m_ui->m_dateBinSizeComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PropertyDialog::onUpdateBins);
    connect(m_ui->m_numericalBinSizeSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &PropertyDialog::onUpdateBins);
    connect(m_ui->m_addValueButton, &QToolButton::clicked, this,
            &PropertyDialog::onAddPredefinedValue);
    connect(m_ui->m_deleteValueButton, &QToolButton::clicked, this,
            &PropertyDialog::onDeletePredefinedValue);
    connect(predefined, &QTableWidget::itemSelectionChanged, this,
            &PropertyDialog::onUpdateSelection);
    connect(m_ui->m_defaultValueEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &PropertyDialog::onPossibleValuesChanged);
    connect(predefined, &QTableWidget::cellChanged, this, &PropertyDialog::onPossibleValuesChanged);
    connect(m_ui->m_defaultColorsButton, &QPushButton::clicked, this,
            &PropertyDialog::onSetDefaultColors);
    connect(m_ui->m_calendarButton, &QToolButton::clicked, this,
            &PropertyDialog::onCalendarButtonClicked);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::accepted, this, &PropertyDialog::accept);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::rejected, this, &PropertyDialog::reject);

    if (editMode) {
        QPushButton *deleteButton
            = m_ui->m_buttonBox->addButton(tr("Delete Property"), QDialogButtonBox::ResetRole);
        deleteButton->setToolTip(tr("Delete this property from all cards."));
        connect(deleteButton, &QPushButton::clicked, this, &PropertyDialog::onDeleteClicked);
    }

    if (m_validIndex)
        BalloonTip::markShown(QStringLiteral("tip_edit_property"));
    restoreSavedGeometry(this,
                         settings()->read(Settings::Key::PropertyWindowGeometry).toByteArray());
}

PropertyDialog::~PropertyDialog()
{
    delete m_ui;
}

int PropertyDialog::exec()
{
    // A dialog on no property of the user's has nothing to show or change.
    if (!m_validIndex) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void PropertyDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_validIndex)
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

int PropertyDialog::typeEntry(int declaredType)
{
    return declaredType >= PropertyType::Automatic && declaredType <= PropertyType::Date
        ? declaredType
        : int(PropertyType::Automatic);
}

QString PropertyDialog::propertyName() const
{
    return m_ui->m_nameEdit->text().trimmed();
}

ActualPropertyType PropertyDialog::effectiveType() const
{
    switch (m_ui->m_userTypeComboBox->currentIndex()) {
    case PropertyType::Text:
        return ActualType::Text;
    case PropertyType::Numeric:
        return ActualType::Numeric;
    case PropertyType::Date:
        return ActualType::Date;
    default:
        return m_actualType;
    }
}

QStringList PropertyDialog::allValues(bool keepEmpty, bool includeDefault) const
{
    QStringList values;
    QSet<QString> seen;
    auto add = [&](const QString &value) {
        if ((keepEmpty || !value.isEmpty()) && !seen.contains(value)) {
            seen.insert(value);
            values.append(value);
        }
    };
    for (const QString &value : m_usedValues)
        add(value);
    for (const QString &value : predefinedValues())
        add(value);
    if (includeDefault)
        add(m_ui->m_defaultValueEdit->text());
    return values;
}

QStringList PropertyDialog::predefinedValues() const
{
    QStringList values;
    QSet<QString> seen;
    const QTableWidget *table = m_ui->m_predefinedValuesTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, 0);
        if (!item || seen.contains(item->text()))
            continue;
        seen.insert(item->text());
        values.append(item->text());
    }
    return values;
}

QStringList PropertyDialog::currentValuesNotPredefined() const
{
    const QStringList predefined = predefinedValues();
    const QSet<QString> known(predefined.cbegin(), predefined.cend());
    QStringList values;
    for (const QString &value : m_usedValues) {
        if (!known.contains(value))
            values.append(value);
    }
    return values;
}

QStringList PropertyDialog::orderingTexts() const
{
    QStringList texts;
    const QTableWidget *table = m_ui->m_orderingTable;
    texts.reserve(table->rowCount());
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, 0);
        texts.append(item ? item->text() : QString());
    }
    return texts;
}

void PropertyDialog::updateAddCurrentValuesButton()
{
    m_ui->m_addCurrentValuesButton->setEnabled(!currentValuesNotPredefined().isEmpty());
}

void PropertyDialog::onUserTypeChanged()
{
    UpdateBlocker blocker(this);
    const ActualPropertyType type = effectiveType();
    m_ui->m_orderingContainerWidget->setVisible(type == ActualType::Text);
    m_ui->m_groupingContainerWidget->setVisible(type != ActualType::Text);
    if (type != ActualType::Text) {
        m_ui->m_dateBinSizeLabel->setVisible(type == ActualType::Date);
        m_ui->m_dateBinSizeComboBox->setVisible(type == ActualType::Date);
        m_ui->m_numericalBinSizeLabel->setVisible(type == ActualType::Numeric);
        m_ui->m_numericalBinSizeSpinBox->setVisible(type == ActualType::Numeric);
    }
    m_ui->m_calendarButton->setVisible(type == ActualType::Date);
    onPossibleValuesChanged();
    m_ui->m_orderingTab->layout()->invalidate();
}

void PropertyDialog::storePages()
{
    switch (m_pagesType) {
    case ActualType::Text:
        m_appearance.setTextOrder(orderingTexts());
        break;
    case ActualType::Numeric:
        m_appearance.setBinSize(m_ui->m_numericalBinSizeSpinBox->value());
        m_appearance.setShowEmpty(m_ui->m_showEmptyBinsCheckBox->isChecked());
        break;
    case ActualType::Date:
        m_appearance.setDateBinSize(m_ui->m_dateBinSizeComboBox->currentIndex());
        m_appearance.setShowEmpty(m_ui->m_showEmptyBinsCheckBox->isChecked());
        break;
    default:
        break;
    }
}

void PropertyDialog::onPossibleValuesChanged()
{
    // What the user set on the pages so far is kept over the rebuild, whatever started it.
    storePages();
    SignalBlocker signalBlocker;
    signalBlocker.add(m_ui->m_colorsTableWidget);
    signalBlocker.add(m_ui->m_orderingTable);
    signalBlocker.add(m_ui->m_dateBinSizeComboBox);
    signalBlocker.add(m_ui->m_numericalBinSizeSpinBox);
    signalBlocker.add(m_ui->m_showEmptyBinsCheckBox);
    UpdateBlocker colorsBlocker(m_ui->m_colorsTableWidget);
    UpdateBlocker orderingBlocker(m_ui->m_orderingTable);

    const ActualPropertyType type = effectiveType();
    m_pagesType = type;
    const QStringList values = allValues(true, false);
    switch (type) {
    case ActualType::Numeric:
        fillColorRows({tr("Minimum"), tr("Maximum")},
                      {m_appearance.minColor(), m_appearance.maxColor()});
        m_ui->m_numericalBinSizeSpinBox->setValue(m_appearance.binSize());
        m_ui->m_showEmptyBinsCheckBox->setChecked(m_appearance.showEmpty());
        updateBins(values);
        break;
    case ActualType::Date: {
        QStringList names;
        QList<QColor> colors;
        for (int bucket = DateBucket::Past; bucket <= DateBucket::Undefined; ++bucket) {
            names.append(dateBucketName(bucket));
            colors.append(m_appearance.colorForDate(bucket));
        }
        fillColorRows(names, colors);
        m_ui->m_dateBinSizeComboBox->setCurrentIndex(m_appearance.dateBinSize());
        m_ui->m_showEmptyBinsCheckBox->setChecked(m_appearance.showEmpty());
        updateBins(values);
        break;
    }
    default:
        fillTextPages(values);
        break;
    }
}

void PropertyDialog::fillTextPages(const QStringList &values)
{
    QList<QColor> colors;
    colors.reserve(values.size());
    for (const QString &value : values)
        colors.append(m_appearance.colorForText(value));
    fillColorRows(values, colors);

    // The order the user arranged leads; values it does not hold yet follow as listed.
    const QSet<QString> listed(values.cbegin(), values.cend());
    QStringList order;
    QSet<QString> placed;
    for (const QString &text : orderingTexts()) {
        if (listed.contains(text) && !placed.contains(text)) {
            placed.insert(text);
            order.append(text);
        }
    }
    for (const QString &value : values) {
        if (!placed.contains(value))
            order.append(value);
    }
    QTableWidget *table = m_ui->m_orderingTable;
    table->clearSelection();
    table->setRowCount(0);
    fillTexts(table, 0, order);
    m_orderButtons->onUpdateButtons();
}

void PropertyDialog::fillColorRows(const QStringList &headers, const QList<QColor> &colors)
{
    QTableWidget *table = m_ui->m_colorsTableWidget;
    table->setRowCount(0);
    fillRows(table, 0, headers.size(), [&](int row, int i) {
        table->setVerticalHeaderItem(row, new QTableWidgetItem(headers.at(i)));
        auto *swatch = new QTableWidgetItem;
        swatch->setFlags(Qt::ItemIsEnabled);
        swatch->setData(ColorSwatchDelegate::ColorRole, colors.at(i));
        table->setItem(row, 0, swatch);
    });
}

QColor PropertyDialog::rowColor(int row) const
{
    const QTableWidgetItem *swatch = m_ui->m_colorsTableWidget->item(row, 0);
    return swatch ? swatch->data(ColorSwatchDelegate::ColorRole).value<QColor>() : QColor();
}

void PropertyDialog::onColorRowClicked(int row)
{
    // As a colour button does: a cancelled picker gives the colour back, and it is set again.
    const QColor chosen = pickColor(rowColor(row), m_ui->m_colorsTableWidget);
    if (chosen.isValid())
        setRowColor(row, chosen);
}

void PropertyDialog::setRowColor(int row, const QColor &color)
{
    QTableWidgetItem *swatch = m_ui->m_colorsTableWidget->item(row, 0);
    if (!swatch)
        return;
    swatch->setData(ColorSwatchDelegate::ColorRole, color);
    switch (m_pagesType) {
    case ActualType::Numeric:
        if (row == 0)
            m_appearance.setMinMaxColors(color, m_appearance.maxColor());
        else
            m_appearance.setMinMaxColors(m_appearance.minColor(), color);
        break;
    case ActualType::Date:
        m_appearance.setDateColor(row, color);
        break;
    default:
        if (const QTableWidgetItem *header = m_ui->m_colorsTableWidget->verticalHeaderItem(row))
            m_appearance.setTextColor(header->text(), color);
        break;
    }
}

void PropertyDialog::onSetDefaultColors()
{
    const int rows = m_ui->m_colorsTableWidget->rowCount();
    for (int row = 0; row < rows; ++row) {
        QColor color;
        switch (m_pagesType) {
        case ActualType::Numeric:
            color = row == 0 ? QColor(Qt::red) : QColor(170, 85, 255);
            break;
        case ActualType::Date:
            color = PropertyAppearance::defaultDateColor(row);
            break;
        default:
            color = PropertyAppearance::defaultTextColor(row);
            break;
        }
        setRowColor(row, color);
    }
}

void PropertyDialog::onUpdateBins()
{
    updateBins(allValues(true, false));
}

void PropertyDialog::updateBins(const QStringList &values)
{
    QString text;
    switch (effectiveType()) {
    case ActualType::Numeric: {
        const QPair<double, double> range = numberRange(values, doc()->valueFormats());
        const QList<Document::NumericBin> bins = Document::numericBins(
            m_ui->m_numericalBinSizeSpinBox->value(), range.first, range.second);
        text = binsPreview(shortestNumber(range.first), shortestNumber(range.second),
                           Document::numericBinNames(bins));
        break;
    }
    case ActualType::Date: {
        const QPair<QDate, QDate> range = ::dateRange(values, doc()->valueFormats());
        const QList<Document::DateBin> bins = Document::dateBins(
            m_ui->m_dateBinSizeComboBox->currentIndex(), range.first, range.second, false);
        if (bins.isEmpty()) {
            text = tr("No dates defined");
            break;
        }
        const int format = settings()->dateFormat();
        text = binsPreview(dateToString(range.first, format, false),
                           dateToString(range.second, format, false), Document::dateBinNames(bins));
        break;
    }
    default:
        return;
    }
    m_ui->m_exampleLabel->setText(text);
}

void PropertyDialog::onAddPredefinedValue()
{
    QTableWidget *table = m_ui->m_predefinedValuesTable;
    const int row = table->rowCount();
    table->insertRow(row);
    table->clearSelection();
    table->setCurrentCell(row, 0);
    onPossibleValuesChanged();
    updateAddCurrentValuesButton();
}

void PropertyDialog::onDeletePredefinedValue()
{
    QTableWidget *table = m_ui->m_predefinedValuesTable;
    const QList<int> rows = selectedRows(table);
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        table->removeRow(*row);
    onUpdateSelection();
    onPossibleValuesChanged();
    updateAddCurrentValuesButton();
}

void PropertyDialog::onUpdateSelection()
{
    m_ui->m_deleteValueButton->setEnabled(!selectedRows(m_ui->m_predefinedValuesTable).isEmpty());
}

void PropertyDialog::onAddCurrentValues()
{
    QTableWidget *table = m_ui->m_predefinedValuesTable;
    const QStringList values = currentValuesNotPredefined();
    {
        SignalBlocker blocker;
        blocker.add(table);
        table->setSortingEnabled(false);
        fillTexts(table, table->rowCount(), values);
        table->setSortingEnabled(true);
        table->clearSelection();
    }
    onUpdateSelection();
    onPossibleValuesChanged();
    updateAddCurrentValuesButton();
}

void PropertyDialog::onCalendarButtonClicked()
{
    bool ok = false;
    const QDate date = stringToDate(m_ui->m_defaultValueEdit->text(), doc()->valueFormats(), &ok);
    QToolButton *button = m_ui->m_calendarButton;
    auto *popup = new DatePopup(button, m_propertyIndex, ok ? date : QDate());
    popup->move(button->mapToGlobal(button->rect().bottomLeft()));
    connect(popup, &DatePopup::datePicked, this, &PropertyDialog::onDatePicked);
    popup->show();
}

void PropertyDialog::onDatePicked(int, QDate date)
{
    m_ui->m_defaultValueEdit->setText(dateToString(date, settings()->dateFormat(), true));
}

void PropertyDialog::onDeleteClicked()
{
    if (!m_validIndex || isAddMode())
        return;
    Document *plan = doc();
    const QByteArray key = Settings::keyName(Settings::Key::ShowWarningDelProperty).toLatin1();
    const QString question
        = tr("Delete property '%1' from all cards?").arg(plan->propertyName(m_propertyIndex));
    if (warningWithDontShowAgain(this, key.constData(), question,
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        != QMessageBox::Ok)
        return;
    plan->deleteProperty(m_propertyIndex, true);
    QDialog::reject();
}

void PropertyDialog::accept()
{
    if (!m_validIndex) {
        reject();
        return;
    }
    m_ui->m_defaultValueEdit->flush();
    Document *plan = doc();
    QString name = propertyName();
    // A plan file may hold a name longer than the field takes: while the field still shows it
    // cut at its limit, the user has not renamed the property, and it keeps its whole name.
    const QString stored = isAddMode() ? QString() : plan->propertyName(m_propertyIndex);
    const bool nameKept
        = stored.size() > MaxNameLength && m_ui->m_nameEdit->text() == stored.left(MaxNameLength);
    QString refusal;
    if (nameKept) {
        name = stored;
    } else {
        const int namesake = plan->propertyIndex(name);
        if (name.isEmpty())
            refusal = tr("Please provide a name for the property.");
        else if (name.size() > MaxNameLength)
            refusal = tr("The maximum property name length is %1 characters.").arg(MaxNameLength);
        else if (!Property::reservedName(name).isEmpty())
            refusal = tr("\"%1\" is a reserved name.").arg(Property::reservedName(name));
        else if (namesake != -1 && (isAddMode() || namesake != m_propertyIndex))
            refusal = tr("A property with the name '%1' already exists.").arg(name);
    }
    if (!refusal.isEmpty()) {
        criticalMessage(this, refusal, QMessageBox::Ok);
        return;
    }

    storePages();
    const QStringList predefined = predefinedValues();
    const QString defaultValue = m_ui->m_defaultValueEdit->text();
    const int declaredType = m_keptType.value_or(m_ui->m_userTypeComboBox->currentIndex());
    if (isAddMode()) {
        bool valuesShown = false;
        for (int property = 1; property < plan->propertyCount() && !valuesShown; ++property) {
            const int visibility = plan->propertyVisibility(property);
            valuesShown = visibility == PropertyVisibility::Text
                || visibility == PropertyVisibility::BoldText
                || visibility == PropertyVisibility::ItalicText;
        }
        plan->addProperty(name, defaultValue, declaredType, predefined,
                          valuesShown ? PropertyVisibility::Hidden : PropertyVisibility::Text,
                          m_appearance, true);
    } else {
        const Document::ViewNames viewNames
            = offerRenameInStoredViews(*plan, this, m_propertyIndex, name);
        plan->editProperty(m_propertyIndex, name, defaultValue, declaredType, predefined,
                           m_appearance, viewNames, true);
    }
    settings()->write(Settings::Key::PropertyWindowGeometry, saveGeometry());
    QDialog::accept();
}
