#pragma once

#include <QDialog>

namespace Ui {
class PropertyOrderDialog;
}

// "Re-order Properties": the plan's properties listed by name, moved as a selection to the
// top, up, down or to the bottom, or sorted by name; Ok stores the new order as one undoable
// change. The main window's order command and the Show Properties section run it modally.
class PropertyOrderDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PropertyOrderDialog(QWidget *parent = nullptr);
    ~PropertyOrderDialog() override;

public slots:
    void accept() override;

private:
    Ui::PropertyOrderDialog *m_ui;
};
