#pragma once

#include <QDialog>
#include <QPrinter>

namespace Ui {
class ExportPDFDialog;
}

// Asks for the page of a PDF export of the Cards or Charts view: orientation and a standard
// paper size, or a custom width and height in millimetres or inches. OK sets up the printer
// the main window hands over; the main window keeps paperSize() for the next export.
class ExportPDFDialog : public QDialog
{
    Q_OBJECT

public:
    // paperSize is a QPrinter::PaperSize value as the preferences keep it; printer may be null.
    ExportPDFDialog(QWidget *parent, QPrinter::Orientation orientation, int paperSize,
                    QPrinter::Unit units, QPrinter *printer);
    ~ExportPDFDialog() override;

    QPrinter::PaperSize paperSize() const;

    static int orientationToIndex(QPrinter::Orientation orientation);
    static QPrinter::Orientation indexToOrientation(int index);
    // Sizes the list does not offer open at A4.
    static int paperSizeToIndex(int paperSize);
    static QPrinter::PaperSize indexToPaperSize(int index);
    static int unitsToIndex(QPrinter::Unit units);
    static QPrinter::Unit indexToUnits(int index);
    // Converts between millimetres and inches; any other pair of units is left alone.
    static double convertLength(QPrinter::Unit from, QPrinter::Unit to, double value);

public slots:
    void accept() override;

private slots:
    void onPageSizeChanged();
    void onUnitsChanged();

private:
    bool isCustomSize() const;

    Ui::ExportPDFDialog *m_ui;
    // The unit the width and height boxes hold their values in.
    QPrinter::Unit m_units;
    QPrinter *m_printer;
};
