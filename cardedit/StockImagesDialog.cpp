#include "cardedit/StockImagesDialog.h"

#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "ui_StockImagesDialog.h"

#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>

StockImagesDialog::StockImagesDialog(QWidget *parent, const QStringList &paths)
    : QDialog(parent), m_ui(new Ui::StockImagesDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    QTreeWidget *tree = m_ui->m_treeWidget;
    tree->setIconSize(QSize(48, 48));
    for (const QString &path : paths) {
        auto *item = new QTreeWidgetItem(tree);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setIcon(0, QIcon(QPixmap(path)));
        item->setText(0, QFileInfo(path).baseName());
        item->setData(0, Qt::UserRole, path);
    }
    tree->sortItems(0, Qt::AscendingOrder);
    onUpdateButtonStatus();
    connect(m_ui->m_checkAllButton, &QPushButton::clicked, this,
            &StockImagesDialog::onCheckAllClicked);
    connect(m_ui->m_uncheckAllButton, &QPushButton::clicked, this,
            &StockImagesDialog::onUncheckAllClicked);
    // Any change of a tick, by mouse or by keyboard.
    connect(tree, &QTreeWidget::itemChanged, this, &StockImagesDialog::onUpdateButtonStatus);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::accepted, this, &StockImagesDialog::accept);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::rejected, this, &StockImagesDialog::reject);
}

StockImagesDialog::~StockImagesDialog()
{
    delete m_ui;
}

QStringList StockImagesDialog::checkedImages() const
{
    QStringList paths;
    const QTreeWidget *tree = m_ui->m_treeWidget;
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = tree->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            paths.append(item->data(0, Qt::UserRole).toString());
    }
    return paths;
}

void StockImagesDialog::onUpdateButtonStatus()
{
    const QTreeWidget *tree = m_ui->m_treeWidget;
    bool anyChecked = false;
    bool anyUnchecked = false;
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        if (tree->topLevelItem(row)->checkState(0) == Qt::Checked)
            anyChecked = true;
        else
            anyUnchecked = true;
    }
    m_ui->m_checkAllButton->setEnabled(anyUnchecked);
    m_ui->m_uncheckAllButton->setEnabled(anyChecked);
}

void StockImagesDialog::onCheckAllClicked()
{
    setAllChecked(true);
}

void StockImagesDialog::onUncheckAllClicked()
{
    setAllChecked(false);
}

void StockImagesDialog::setAllChecked(bool checked)
{
    QTreeWidget *tree = m_ui->m_treeWidget;
    SignalBlocker blocker;
    blocker.add(tree);
    for (int row = 0; row < tree->topLevelItemCount(); ++row)
        tree->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    onUpdateButtonStatus();
}
