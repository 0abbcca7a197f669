#pragma once

#include <QDialog>

namespace Ui {
class LineEditDialog;
}

// Asks for one line of text, such as a new or renamed column or row value; the caller checks
// the answer itself.
class LineEditDialog : public QDialog
{
    Q_OBJECT

public:
    LineEditDialog(QWidget *parent, const QString &title, const QString &label,
                   const QString &text);
    ~LineEditDialog() override;

    // As typed, blanks included.
    QString text() const;

private:
    Ui::LineEditDialog *m_ui;
};
