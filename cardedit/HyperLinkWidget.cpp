#include "cardedit/HyperLinkWidget.h"

#include "cardedit/HyperLinkDialog.h"
#include "cardedit/HyperLinkWidgetItem.h"
#include "common/core/BusyCursor.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

HyperLinkWidget::HyperLinkWidget(QWidget *parent) : QTreeWidget(parent)
{
    setIconSize(QSize(16, 16));
    setColumnCount(2);
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::Fixed);
    header()->resizeSection(1, 25);
    setRootIsDecorated(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setAttribute(Qt::WA_MouseTracking);
    connect(this, &QTreeWidget::itemClicked, this, &HyperLinkWidget::onItemClicked);
}

HyperLinkWidget::~HyperLinkWidget()
{
    releaseHandCursor();
}

QList<HyperLink> HyperLinkWidget::links() const
{
    QList<HyperLink> list;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (auto *item = dynamic_cast<HyperLinkWidgetItem *>(topLevelItem(row)))
            list.append(item->link());
    }
    return list;
}

void HyperLinkWidget::setLinks(const QList<HyperLink> &links)
{
    setUpdatesEnabled(false);
    for (const HyperLink &link : links)
        addLink(link);
    setUpdatesEnabled(true);
}

void HyperLinkWidget::addLink(const HyperLink &link)
{
    appendItem(link);
}

HyperLinkWidgetItem *HyperLinkWidget::appendItem(const HyperLink &link)
{
    auto *item = new HyperLinkWidgetItem(this, link);
    connect(item, &HyperLinkWidgetItem::editButtonClicked, this,
            &HyperLinkWidget::onEditButtonClicked);
    return item;
}

void HyperLinkWidget::addUrl(const QUrl &url)
{
    BusyCursor busy;
    addLink(HyperLink(url));
}

void HyperLinkWidget::addUrls(const QMimeData *mimeData)
{
    const QList<QUrl> urls = getUrls(mimeData);
    for (const QUrl &url : urls) {
        addUrl(url);
        if (url.isLocalFile()) {
            warningMessageOnce(Settings::keyName(Settings::Key::WarnOnFileHyperlink), this,
                               tr("Tavrolo only stores links. It does not embed files. So links "
                                  "to files may not work if you move this plan to another "
                                  "machine."),
                               QMessageBox::Ok);
        }
        m_varies = false;
        viewport()->update();
        emit linksChanged();
    }
}

void HyperLinkWidget::setVaries(bool varies)
{
    m_varies = varies;
}

QList<QUrl> HyperLinkWidget::getUrls(const QMimeData *mimeData)
{
    if (!mimeData)
        return {};
    if (mimeData->hasUrls())
        return mimeData->urls();
    if (mimeData->hasText()) {
        const QString text = mimeData->text().trimmed();
        const QUrl url(text, QUrl::TolerantMode);
        const bool webOrMail = text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
            || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)
            || text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
        // A web address the parser rejects would become a link without an address: it is not
        // offered; the Link dialog keeps such a text as typed.
        if ((webOrMail && url.isValid()) || url.isLocalFile())
            return {url};
    }
    return {};
}

void HyperLinkWidget::onAdd()
{
    HyperLinkDialog dialog(this, QString(), QString(), true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    addLink(HyperLink::fromUrlText(dialog.name(), dialog.url()));
    emit linksChanged();
}

void HyperLinkWidget::onEditButtonClicked(HyperLinkWidgetItem *item)
{
    if (!item)
        return;
    const QPointer<HyperLinkWidgetItem> guard(item);
    HyperLinkDialog dialog(this, item->urlText(), item->name(), false);
    const int result = dialog.exec();
    if (!guard)
        return;
    if (result == QDialog::Accepted) {
        item->setName(dialog.name());
        item->setUrl(dialog.url());
        emit linksChanged();
    } else if (dialog.isDeleted()) {
        // We are inside the click of the row's own button: the row leaves the list now, the
        // item and its button are freed once that click has been delivered.
        const int row = indexOfTopLevelItem(item);
        if (row >= 0)
            takeTopLevelItem(row);
        item->deleteLater();
        emit linksChanged();
    }
}

void HyperLinkWidget::onItemClicked(QTreeWidgetItem *item, int column)
{
    auto *link = dynamic_cast<HyperLinkWidgetItem *>(item);
    if (!link || column != 0)
        return;
    const QString urlText = link->urlText();
    if (!openUrl(QUrl(urlText, QUrl::TolerantMode)))
        criticalMessage(this, tr("Unable to open link '%1'.").arg(urlText));
}

void HyperLinkWidget::onPaste()
{
    addUrls(QApplication::clipboard()->mimeData());
}

void HyperLinkWidget::onClear()
{
    // An owner that writes only after a reported change must hear of a list emptied here.
    const bool hadLinks = topLevelItemCount() > 0;
    clear();
    if (hadLinks)
        emit linksChanged();
}

void HyperLinkWidget::releaseHandCursor()
{
    if (!m_handCursorSet)
        return;
    m_handCursorSet = false;
    // A wait cursor may lie on top of the hand by now; it stays.
    removeOverrideCursor(QCursor(Qt::PointingHandCursor));
}

void HyperLinkWidget::showHandCursor()
{
    if (m_handCursorSet || QGuiApplication::overrideCursor())
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
    m_handCursorSet = true;
}

void HyperLinkWidget::mousePressEvent(QMouseEvent *event)
{
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    QMenu menu(this);
    menu.addAction(tr("Add..."), this, &HyperLinkWidget::onAdd);
    QAction *paste = menu.addAction(tr("Paste"), this, &HyperLinkWidget::onPaste);
    paste->setEnabled(!getUrls(QApplication::clipboard()->mimeData()).isEmpty());
    menu.addSeparator();
    QAction *clearAll = menu.addAction(tr("Clear"), this, &HyperLinkWidget::onClear);
    clearAll->setEnabled(topLevelItemCount() >= 1);
    menu.exec(QCursor::pos());
}

void HyperLinkWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (itemAt(event->localPos().toPoint()))
        showHandCursor();
    else
        releaseHandCursor();
}

void HyperLinkWidget::leaveEvent(QEvent *event)
{
    releaseHandCursor();
    QTreeWidget::leaveEvent(event);
}

void HyperLinkWidget::hideEvent(QHideEvent *event)
{
    // A list closed with its dialog under the pointer gets no leave event.
    releaseHandCursor();
    QTreeWidget::hideEvent(event);
}

void HyperLinkWidget::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (m_varies)
        drawHint(tr("<varies>"));
    else if (isEnabled() && topLevelItemCount() == 0)
        drawHint(tr("Drop or right-click and paste\n files or hyperlinks here"));
}

void HyperLinkWidget::drawHint(const QString &text)
{
    drawCenteredHint(viewport(), QRect(0, 0, width(), height()), text);
}

void HyperLinkWidget::dragEnterEvent(QDragEnterEvent *event)
{
    QTreeWidget::dragEnterEvent(event);
    if (!getUrls(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void HyperLinkWidget::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeWidget::dragMoveEvent(event);
    event->acceptProposedAction();
}

void HyperLinkWidget::dropEvent(QDropEvent *event)
{
    QTreeWidget::dropEvent(event);
    event->acceptProposedAction();
    addUrls(event->mimeData());
}
