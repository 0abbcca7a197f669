#include "dialogs/ExportPDFDialog.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_ExportPDFDialog.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <QPageSize>

namespace {

// The paper sizes in the order the size list offers them; the last one is "<custom>".
const QPrinter::PaperSize paperSizes[]
    = {QPrinter::A0, QPrinter::A1, QPrinter::A2,    QPrinter::A3,     QPrinter::A4,
       QPrinter::A5, QPrinter::B0, QPrinter::B1,    QPrinter::B2,     QPrinter::B3,
       QPrinter::B4, QPrinter::B5, QPrinter::Legal, QPrinter::Letter, QPrinter::Custom};
const int a4Index = 4;
const int customIndex = static_cast<int>(std::size(paperSizes)) - 1;

const double millimetresPerInch = 25.4;
const double defaultCustomWidthMm = 210.0;
const double defaultCustomHeightMm = 297.0;

void setRoundedValue(QDoubleSpinBox *box, double value)
{
    const double rounded = std::round(value * 100.0) / 100.0;
    box->setValue(std::clamp(rounded, box->minimum(), box->maximum()));
}

} // namespace

ExportPDFDialog::ExportPDFDialog(QWidget *parent, QPrinter::Orientation orientation, int paperSize,
                                 QPrinter::Unit units, QPrinter *printer)
    : QDialog(parent), m_ui(new Ui::ExportPDFDialog), m_units(units), m_printer(printer)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_ui->m_orientationCombo->setCurrentIndex(orientationToIndex(orientation));
    m_ui->m_pageSizeCombo->setCurrentIndex(paperSizeToIndex(paperSize));
    m_ui->m_unitsComboBox->setCurrentIndex(unitsToIndex(units));
    // The boxes hold their values in m_units, which the units list now shows.
    m_units = indexToUnits(m_ui->m_unitsComboBox->currentIndex());
    const QPrinter::Unit from = QPrinter::Millimeter;
    m_ui->m_widthSpinBox->setValue(convertLength(from, m_units, defaultCustomWidthMm));
    m_ui->m_heightSpinBox->setValue(convertLength(from, m_units, defaultCustomHeightMm));
    onPageSizeChanged();
    // Only the user's choices act, not the settings made above.
    connect(m_ui->m_pageSizeCombo, QOverload<int>::of(&QComboBox::activated), this,
            &ExportPDFDialog::onPageSizeChanged);
    connect(m_ui->m_unitsComboBox, QOverload<int>::of(&QComboBox::activated), this,
            &ExportPDFDialog::onUnitsChanged);
}

ExportPDFDialog::~ExportPDFDialog()
{
    delete m_ui;
}

QPrinter::PaperSize ExportPDFDialog::paperSize() const
{
    return indexToPaperSize(m_ui->m_pageSizeCombo->currentIndex());
}

int ExportPDFDialog::orientationToIndex(QPrinter::Orientation orientation)
{
    return orientation == QPrinter::Landscape ? 0 : 1;
}

QPrinter::Orientation ExportPDFDialog::indexToOrientation(int index)
{
    return index == 0 ? QPrinter::Landscape : QPrinter::Portrait;
}

int ExportPDFDialog::paperSizeToIndex(int paperSize)
{
    const auto found = std::find(std::begin(paperSizes), std::end(paperSizes), paperSize);
    return found == std::end(paperSizes) ? a4Index
                                         : static_cast<int>(found - std::begin(paperSizes));
}

QPrinter::PaperSize ExportPDFDialog::indexToPaperSize(int index)
{
    return index >= 0 && index <= customIndex ? paperSizes[index] : QPrinter::A4;
}

int ExportPDFDialog::unitsToIndex(QPrinter::Unit units)
{
    return units == QPrinter::Inch ? 1 : 0;
}

QPrinter::Unit ExportPDFDialog::indexToUnits(int index)
{
    return index == 1 ? QPrinter::Inch : QPrinter::Millimeter;
}

double ExportPDFDialog::convertLength(QPrinter::Unit from, QPrinter::Unit to, double value)
{
    if (from == QPrinter::Millimeter && to == QPrinter::Inch)
        return value / millimetresPerInch;
    if (from == QPrinter::Inch && to == QPrinter::Millimeter)
        return value * millimetresPerInch;
    return value;
}

bool ExportPDFDialog::isCustomSize() const
{
    return m_ui->m_pageSizeCombo->currentIndex() == customIndex;
}

// A custom page is given in the shape the user typed, so it is never turned.
void ExportPDFDialog::accept()
{
    if (m_printer) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        if (isCustomSize()) {
            const QSizeF size(m_ui->m_widthSpinBox->value(), m_ui->m_heightSpinBox->value());
            const QPageSize::Unit unit
                = m_units == QPrinter::Inch ? QPageSize::Inch : QPageSize::Millimeter;
            // An exact match keeps a size a hair off a standard one as typed.
            m_printer->setPageSize(QPageSize(size, unit, QString(), QPageSize::ExactMatch));
            m_printer->setPageOrientation(QPageLayout::Portrait);
        } else {
            // The printer's paper sizes and the page size ids share their numbers.
            m_printer->setPageSize(QPageSize(QPageSize::PageSizeId(paperSize())));
            m_printer->setPageOrientation(
                indexToOrientation(m_ui->m_orientationCombo->currentIndex()) == QPrinter::Landscape
                    ? QPageLayout::Landscape
                    : QPageLayout::Portrait);
        }
    }
    QDialog::accept();
}

// A standard size shows the orientation and size rows; "<custom>" shows the size with width,
// height and units instead, since a custom page comes in the shape it is typed.
void ExportPDFDialog::onPageSizeChanged()
{
    QFormLayout *form = m_ui->m_formLayout;
    const bool custom = isCustomSize();
    const auto take = [form](QLabel *label, QWidget *field) {
        if (form->indexOf(field) >= 0) {
            // The row's layout items are ours once taken; the widgets stay with the dialog.
            const QFormLayout::TakeRowResult row = form->takeRow(field);
            delete row.labelItem;
            delete row.fieldItem;
        }
        label->hide();
        field->hide();
    };
    const auto show = [form](int row, QLabel *label, QWidget *field) {
        if (form->indexOf(field) < 0)
            form->insertRow(row, label, field);
        label->show();
        field->show();
    };
    if (custom) {
        take(m_ui->m_orientationLabel, m_ui->m_orientationCombo);
        show(1, m_ui->m_widthLabel, m_ui->m_widthSpinBox);
        show(2, m_ui->m_heightLabel, m_ui->m_heightSpinBox);
        show(3, m_ui->m_unitsLabel, m_ui->m_unitsComboBox);
    } else {
        show(0, m_ui->m_orientationLabel, m_ui->m_orientationCombo);
        take(m_ui->m_widthLabel, m_ui->m_widthSpinBox);
        take(m_ui->m_heightLabel, m_ui->m_heightSpinBox);
        take(m_ui->m_unitsLabel, m_ui->m_unitsComboBox);
    }
    adjustSize();
}

void ExportPDFDialog::onUnitsChanged()
{
    const QPrinter::Unit units = indexToUnits(m_ui->m_unitsComboBox->currentIndex());
    if (units != m_units) {
        setRoundedValue(m_ui->m_widthSpinBox,
                        convertLength(m_units, units, m_ui->m_widthSpinBox->value()));
        setRoundedValue(m_ui->m_heightSpinBox,
                        convertLength(m_units, units, m_ui->m_heightSpinBox->value()));
    }
    m_units = units;
}
