#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class StockImagesDialog;
}

// Lets the user tick the stock images to add to the plan's image library; the library dialog
// offers those the plan does not hold yet.
class StockImagesDialog : public QDialog
{
    Q_OBJECT

public:
    // paths: resource paths of the stock images on offer.
    StockImagesDialog(QWidget *parent, const QStringList &paths);
    ~StockImagesDialog() override;

    // The paths of the ticked rows, in row order.
    QStringList checkedImages() const;

private slots:
    void onCheckAllClicked();
    void onUncheckAllClicked();
    void onUpdateButtonStatus();

private:
    void setAllChecked(bool checked);

    Ui::StockImagesDialog *m_ui;
};
