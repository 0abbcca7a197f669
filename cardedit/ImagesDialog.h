#pragma once

#include "model/Image.h"

#include <QDialog>
#include <QList>
#include <QStringList>

namespace Ui {
class ImagesDialog;
}
class QTreeWidgetItem;

// The plan's image library: the user adds picture files and stock images, renames and deletes
// them. The dialog edits a copy of the library and hands the whole edited list to the plan in
// one undoable step when accepted; cards whose picture was deleted then show none.
class ImagesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ImagesDialog(QWidget *parent);
    ~ImagesDialog() override;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onAddImage();
    void onDeleteImage();
    void onAddStockImages();
    void onSelectionChange();
    void onItemChanged(QTreeWidgetItem *item, int column);
    void onDroppedImageFiles(const QStringList &paths);

private:
    // Rows sorted by name, each holding its image's index in m_images.
    void refreshList();
    // Refreshes the list once control is back in the event loop, for edits reported from
    // inside the list itself.
    void scheduleRefresh();
    void updateStockImages();
    // Appends each readable picture whose pixels are not in the copy yet; true when any was.
    bool addImages(const QStringList &paths);

    Ui::ImagesDialog *m_ui;
    QList<Image> m_images;
    // Stock images the copy does not hold, as resource paths.
    QStringList m_availableStockImages;
    bool m_refreshScheduled = false;
};
