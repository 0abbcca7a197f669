#pragma once

#include "model/HyperLink.h"

#include <QObject>
#include <QTreeWidgetItem>

class HyperLinkWidget;
class QToolButton;

// One row of a card's link list: the link's name, drawn like a link and opened by a click,
// and an edit button at the end of the row. The item keeps the address as text, as typed.
class HyperLinkWidgetItem : public QObject, public QTreeWidgetItem
{
    Q_OBJECT

public:
    // Appends itself to the list, which also becomes its QObject parent.
    HyperLinkWidgetItem(HyperLinkWidget *list, const HyperLink &link);
    ~HyperLinkWidgetItem() override;

    QString name() const;
    void setName(const QString &name);
    QString urlText() const;
    void setUrl(const QString &urlText);
    HyperLink link() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The list may delete the item in reply: nothing is touched after emitting it.
    void editButtonClicked(HyperLinkWidgetItem *item);

public slots:
    void onEditButtonClicked();

private:
    HyperLinkWidget *list() const;
};
