#pragma once

#include "model/HyperLink.h"

#include <QList>
#include <QTreeWidget>
#include <QUrl>

class HyperLinkWidgetItem;
class QMimeData;

// The link list of the card editor. It holds the links of the card(s) being edited, lets the
// user add links through a dialog, by pasting or by dropping addresses, files or link text,
// opens a link when its name is clicked, and edits or deletes it through the row's button.
// It never writes to the plan: it says when the user changed the list (linksChanged) and
// hands the list back. "<varies>" stands in for the list while the edited cards hold
// different lists.
class HyperLinkWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit HyperLinkWidget(QWidget *parent = nullptr);
    ~HyperLinkWidget() override;

    QList<HyperLink> links() const;
    // Appends, leaving the rows already there.
    void setLinks(const QList<HyperLink> &links);
    void addLink(const HyperLink &link);
    void addUrl(const QUrl &url);
    // Adds each address the data carries, reporting each one.
    void addUrls(const QMimeData *mimeData);
    void setVaries(bool varies);
    bool varies() const { return m_varies; }

    // The addresses dropped or pasted data stands for: its URLs, or its text when that reads
    // as a web, mail or file address.
    static QList<QUrl> getUrls(const QMimeData *mimeData);

    // Gives back the pointing hand when this list set it; any other override cursor (the
    // wait cursor of a busy operation) is left alone.
    void releaseHandCursor();

signals:
    void linksChanged();

public slots:
    void onAdd();
    void onEditButtonClicked(HyperLinkWidgetItem *item);
    void onItemClicked(QTreeWidgetItem *item, int column);
    void onPaste();
    void onClear();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void drawHint(const QString &text);
    void showHandCursor();
    HyperLinkWidgetItem *appendItem(const HyperLink &link);

    bool m_varies = false;
    // The pointing hand over a link is this list's override cursor while set.
    bool m_handCursorSet = false;
};
