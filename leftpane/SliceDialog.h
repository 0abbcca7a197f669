#pragma once

#include <QDialog>

namespace Ui {
class SliceDialog;
}

// "Add Stored View": asks the name under which the current view of the Cards tab is stored in
// the plan, proposing the stored view it equals or a description of it, and whether the view
// keeps the current appearance too. Accepting stores the view as one undoable step.
class SliceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SliceDialog(QWidget *parent = nullptr);
    ~SliceDialog() override;

public slots:
    void accept() override;

private:
    Ui::SliceDialog *m_ui;
};
