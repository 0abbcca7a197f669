#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class NewPlanDialog;
}

// Suggests the properties of a plan being created: a title, the properties of the user's
// other plans and a few common ones. The ticked rows become properties of the plan when the
// dialog is accepted; the new-plan command shows it when the preference asks for it.
class NewPlanDialog : public QDialog
{
    Q_OBJECT

public:
    // planFiles: the plans whose properties are offered, in order (the recent plans); files
    // that cannot be read are passed over.
    NewPlanDialog(QWidget *parent, const QStringList &planFiles);
    ~NewPlanDialog() override;

public slots:
    void accept() override;

private:
    // Appends a suggestion unless the table is full or holds the name already.
    void addRow(const QString &name, int type, const QString &predefinedValues,
                const QString &defaultValue, bool ticked);

    Ui::NewPlanDialog *m_ui;
    // The lower-case names of the rows made, so that the first row of a name wins.
    QStringList m_names;
};
