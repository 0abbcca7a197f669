#include "cardedit/ImagesDialog.h"

#include "cardedit/ImagesWidget.h"
#include "cardedit/StockImagesDialog.h"
#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/SignalBlocker.h"
#include "common/core/TextHelpers.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/UpdateBlocker.h"
#include "model/Document.h"
#include "ui_ImagesDialog.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QPushButton>

namespace {

const QString stockImageFolder = QStringLiteral(":/pngs/builtin/");

} // namespace

ImagesDialog::ImagesDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::ImagesDialog)
{
    m_ui->setupUi(this);
    prepareDialog(this);
    m_images = doc()->images();
    m_ui->m_imagesTreeWidget->setIconSize(QSize(Image::MaxSide, Image::MaxSide));
    m_ui->m_addImageButton->setIcon(icon(QStringLiteral("add_12.png")));
    m_ui->m_deleteImageButton->setIcon(icon(QStringLiteral("minus_12.png")));
    refreshList();
    updateStockImages();

    ImagesWidget *list = m_ui->m_imagesTreeWidget;
    connect(m_ui->m_addImageButton, &QToolButton::clicked, this, &ImagesDialog::onAddImage);
    connect(m_ui->m_deleteImageButton, &QToolButton::clicked, this, &ImagesDialog::onDeleteImage);
    connect(m_ui->m_addStockImagesButton, &QPushButton::clicked, this,
            &ImagesDialog::onAddStockImages);
    connect(list, &ImagesWidget::deleteKeyPressed, this, &ImagesDialog::onDeleteImage);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &ImagesDialog::onSelectionChange);
    connect(list, &QTreeWidget::itemChanged, this, &ImagesDialog::onItemChanged);
    connect(list, &ImagesWidget::droppedImageFiles, this, &ImagesDialog::onDroppedImageFiles);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &ImagesDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &ImagesDialog::reject);

    // The user has found the library; the tip that points to it is no longer needed.
    BalloonTip::markShown(QStringLiteral("tip_add_images"));
}

ImagesDialog::~ImagesDialog()
{
    delete m_ui;
}

void ImagesDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    BalloonTip::showOnce(
        m_ui->m_addImageButton, QStringLiteral("tip_browse_image"), tr("Add an existing image"),
        tr("Click here to add an existing image file to the plan."), QString(), 10000, true, true);
}

void ImagesDialog::accept()
{
    doc()->editImages(m_images, true);
    QDialog::accept();
}

void ImagesDialog::refreshList()
{
    m_refreshScheduled = false;
    BusyCursor busy;
    ImagesWidget *list = m_ui->m_imagesTreeWidget;
    SignalBlocker signalBlocker;
    signalBlocker.add(list);
    UpdateBlocker updateBlocker(list);
    list->clear();
    for (int index = 0; index < m_images.size(); ++index) {
        const Image &image = m_images.at(index);
        auto *item = new QTreeWidgetItem(list);
        item->setText(0, image.name());
        item->setIcon(0, QIcon(image.pixmap()));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setData(0, Qt::UserRole, index);
    }
    list->sortItems(0, Qt::AscendingOrder);
    onSelectionChange();
}

void ImagesDialog::scheduleRefresh()
{
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_refreshScheduled)
                refreshList();
        },
        Qt::QueuedConnection);
}

void ImagesDialog::updateStockImages()
{
    m_availableStockImages.clear();
    const QFileInfoList entries = QDir(stockImageFolder).entryInfoList(QDir::Files);
    for (const QFileInfo &entry : entries) {
        if (!entry.exists())
            continue;
        const QString path = entry.absoluteFilePath();
        const bool held = std::any_of(m_images.cbegin(), m_images.cend(),
                                      [&path](const Image &image) { return image.path() == path; });
        if (!held)
            m_availableStockImages.append(path);
    }
    m_ui->m_addStockImagesButton->setEnabled(!m_availableStockImages.isEmpty());
}

bool ImagesDialog::addImages(const QStringList &paths)
{
    bool added = false;
    const QList<Image> images = Image::fromNamedFiles(paths);
    for (const Image &image : images) {
        if (image.isNull() || Image::indexOf(image.pixmap(), m_images) != -1)
            continue;
        m_images.append(image);
        added = true;
    }
    if (added)
        refreshList();
    return added;
}

void ImagesDialog::onAddImage()
{
    QStringList patterns;
    for (const QString &extension : imageFileExtensions())
        patterns.append(QStringLiteral("*.%1").arg(extension));
    const QString filter = tr("Image Files (%1)").arg(patterns.join(QLatin1Char(' ')))
        + QStringLiteral(";;") + tr("All Files (*.*)");
    addImages(QFileDialog::getOpenFileNames(this, tr("Select one or more files to open"), QString(),
                                            filter));
}

void ImagesDialog::onDroppedImageFiles(const QStringList &paths)
{
    addImages(paths);
}

void ImagesDialog::onAddStockImages()
{
    StockImagesDialog dialog(this, m_availableStockImages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (addImages(dialog.checkedImages()))
        updateStockImages();
}

void ImagesDialog::onDeleteImage()
{
    QList<int> indexes;
    const QList<QTreeWidgetItem *> selected = m_ui->m_imagesTreeWidget->selectedItems();
    for (const QTreeWidgetItem *item : selected)
        indexes.append(item->data(0, Qt::UserRole).toInt());
    if (indexes.isEmpty())
        return;
    // Rows are sorted by name, not by index: remove from the largest index down so that the
    // indexes still to go keep pointing at their images.
    std::sort(indexes.begin(), indexes.end());
    for (auto index = indexes.crbegin(); index != indexes.crend(); ++index) {
        if (*index >= 0 && *index < m_images.size())
            m_images.removeAt(*index);
    }
    refreshList();
    updateStockImages();
}

void ImagesDialog::onSelectionChange()
{
    m_ui->m_deleteImageButton->setEnabled(!m_ui->m_imagesTreeWidget->selectedItems().isEmpty());
}

void ImagesDialog::onItemChanged(QTreeWidgetItem *item, int column)
{
    if (column != 0)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= m_images.size())
        return;
    m_images[index].setName(item->text(0));
    // The editor that reported the new name is still committing it into this item; rebuilding
    // the list now would delete the item under it.
    scheduleRefresh();
}
