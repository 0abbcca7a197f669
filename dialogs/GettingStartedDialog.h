#pragma once

#include <QDialog>

namespace Ui {
class GettingStartedDialog;
}

// The start-up window shown while no plan is open: it offers the online guide and asks whether
// to open a plan (or a sample), open a CSV file or start a new plan. The main window reads the
// choice once it has closed.
class GettingStartedDialog : public QDialog
{
    Q_OBJECT

public:
    GettingStartedDialog(QWidget *parent, bool offerSamplePlan);
    ~GettingStartedDialog() override;

    bool openPlanRequested() const { return m_openPlan; }
    bool openCSVRequested() const { return m_openCSV; }

private slots:
    void onOpenPlan();
    void onOpenCSV();
    void onNewPlan();
    void onQuickStart();

protected:
    // Closing the window without a choice offers to leave the program.
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::GettingStartedDialog *m_ui;
    bool m_openPlan = false;
    bool m_openCSV = false;
};
