#pragma once

#include <QDialog>

namespace Ui {
class CheckUpdatesDlg;
}

// The small busy window of the update check: a line of text beside a download icon, without
// title-bar buttons, shown above the main window but not modal while the answer is awaited.
class CheckUpdatesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CheckUpdatesDlg(QWidget *parent);
    ~CheckUpdatesDlg() override;

    void setMessage(const QString &text);
    QString message() const;

private:
    Ui::CheckUpdatesDlg *m_ui;
};
