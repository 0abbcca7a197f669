#include "dialogs/ExportCSVDialog.h"

#include "common/widgets/DialogHelpers.h"
#include "ui_ExportCSVDialog.h"

namespace {

void showCount(QRadioButton *button, const QList<int> &tasks)
{
    button->setText(button->text().arg(tasks.size()));
}

// A list is a choice of its own only when it holds some cards but not as many as the plan.
bool offersChoice(const QList<int> &tasks, const QList<int> &allTasks)
{
    return !tasks.isEmpty() && tasks.size() != allTasks.size();
}

} // namespace

ExportCSVDialog::ExportCSVDialog(QWidget *parent, const QList<int> &allTasks,
                                 const QList<int> &selectedTasks, const QList<int> &visibleTasks)
    : QDialog(parent),
      m_ui(new Ui::ExportCSVDialog),
      m_allTasks(allTasks),
      m_selectedTasks(selectedTasks),
      m_visibleTasks(visibleTasks)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    showCount(m_ui->m_allRadioButton, m_allTasks);
    showCount(m_ui->m_selectedRadioButton, m_selectedTasks);
    showCount(m_ui->m_filteredRadioButton, m_visibleTasks);
    m_ui->m_selectedRadioButton->setVisible(offersChoice(m_selectedTasks, m_allTasks));
    m_ui->m_filteredRadioButton->setVisible(offersChoice(m_visibleTasks, m_allTasks));
    adjustSize();
}

ExportCSVDialog::~ExportCSVDialog()
{
    delete m_ui;
}

QList<int> ExportCSVDialog::tasks() const
{
    if (m_ui->m_allRadioButton->isChecked())
        return m_allTasks;
    if (m_ui->m_selectedRadioButton->isChecked())
        return m_selectedTasks;
    if (m_ui->m_filteredRadioButton->isChecked())
        return m_visibleTasks;
    return {};
}
