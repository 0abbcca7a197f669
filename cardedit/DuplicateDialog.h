#pragma once

#include <QDialog>

namespace Ui {
class DuplicateDialog;
}

// Asks how many copies to make of each selected card or table row; the main window's
// duplicate command reads count() once the dialog is accepted and makes the copies itself.
class DuplicateDialog : public QDialog
{
    Q_OBJECT

public:
    DuplicateDialog(QWidget *parent, int selectedCount, bool cards);
    ~DuplicateDialog() override;

    // Copies to make of each item, 1 to 1000.
    int count() const;

private slots:
    void onSpinBoxChanged();

private:
    QString noun(int number) const;

    Ui::DuplicateDialog *m_ui;
    bool m_cards;
    int m_selectedCount;
};
