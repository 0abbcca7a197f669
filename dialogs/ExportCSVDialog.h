#pragma once

#include <QDialog>
#include <QList>

namespace Ui {
class ExportCSVDialog;
}

// Asks which cards a CSV or TXT export writes: all of them, the selected ones or those the
// filter leaves visible, each choice with its count. The main window opens it only when the
// selection or the filter leaves a real choice.
class ExportCSVDialog : public QDialog
{
    Q_OBJECT

public:
    ExportCSVDialog(QWidget *parent, const QList<int> &allTasks, const QList<int> &selectedTasks,
                    const QList<int> &visibleTasks);
    ~ExportCSVDialog() override;

    // The card indexes of the chosen list.
    QList<int> tasks() const;

private:
    Ui::ExportCSVDialog *m_ui;
    QList<int> m_allTasks;
    QList<int> m_selectedTasks;
    QList<int> m_visibleTasks;
};
