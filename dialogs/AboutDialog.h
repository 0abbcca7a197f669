#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The Help menu's About box: product, version, build time and the Qt licence note.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent);
    ~AboutDialog() override;

private:
    Ui::AboutDialog *m_ui;
};
