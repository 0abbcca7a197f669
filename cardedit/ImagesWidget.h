#pragma once

#include <QStringList>
#include <QTreeWidget>

class QMimeData;

// The list of the image library dialog: it takes image files dropped on it, reports the
// Delete and Backspace keys, and, while empty, tells how to fill it.
class ImagesWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ImagesWidget(QWidget *parent = nullptr);

    // The existing local files among the URLs whose suffix names a picture format the
    // library takes.
    static QStringList imageFilePaths(const QMimeData *data);

signals:
    void droppedImageFiles(QStringList paths);
    void deleteKeyPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void drawHint(const QString &text);
};
