#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

namespace Ui {
class SetValuesDialog;
}

// Asks for the exact value of one or two properties when cards are dropped into a cell that
// stands for a range of numbers or dates. Each row names a property and points at the caller's
// value text, which shows the proposed value and receives the edited one when accepted; the
// texts must outlive the dialog. Rows after the second are ignored.
class SetValuesDialog : public QDialog
{
    Q_OBJECT

public:
    using Row = QPair<QString, QString *>;

    SetValuesDialog(QWidget *parent, const QList<Row> &rows);
    ~SetValuesDialog() override;

public slots:
    void accept() override;

private:
    Ui::SetValuesDialog *m_ui;
    QList<Row> m_rows;
};
