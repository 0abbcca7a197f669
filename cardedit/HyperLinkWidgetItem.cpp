#include "cardedit/HyperLinkWidgetItem.h"

#include "app/Application.h"
#include "cardedit/HyperLinkWidget.h"
#include "common/app/Accessors.h"
#include "common/core/Colors.h"
#include "common/widgets/DialogHelpers.h"

#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QToolButton>

namespace {

// Asking the platform for file icons is slow to set up, so one provider serves every item for
// the rest of the run.
QFileIconProvider *fileIconProvider()
{
    static QFileIconProvider *provider = new QFileIconProvider;
    return provider;
}

QIcon linkIcon(const QUrl &url)
{
    if (url.isLocalFile()) {
        const QIcon fileIcon = fileIconProvider()->icon(QFileInfo(url.toLocalFile()));
        if (!fileIcon.isNull())
            return fileIcon;
    }
    return icon(QStringLiteral("link_16.png"));
}

} // namespace

HyperLinkWidgetItem::HyperLinkWidgetItem(HyperLinkWidget *list, const HyperLink &link)
    : QObject(list), QTreeWidgetItem(list)
{
    const QString urlText = link.displayUrl();
    setText(0, link.name());
    setData(0, Qt::UserRole, urlText);
    setIcon(0, linkIcon(QUrl(urlText, QUrl::TolerantMode)));
    QFont underlined = font(0);
    underlined.setUnderline(true);
    setFont(0, underlined);
    setForeground(0, QBrush(accentColor(app()->uiStyle())));
    setToolTip(0, tr("Click to display '%1'.").arg(urlText));
    setToolTip(1, tr("Edit/Delete link"));

    auto *button = new QToolButton(list);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tr("Edit this link."));
    button->setIcon(::icon(QStringLiteral("settings_16.png")));
    setSmallButtonStyle(button);
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, &HyperLinkWidgetItem::onEditButtonClicked);
    list->setItemWidget(this, 1, button);
}

HyperLinkWidgetItem::~HyperLinkWidgetItem() = default;

QString HyperLinkWidgetItem::name() const
{
    return text(0);
}

void HyperLinkWidgetItem::setName(const QString &name)
{
    setText(0, name);
}

QString HyperLinkWidgetItem::urlText() const
{
    return data(0, Qt::UserRole).toString();
}

void HyperLinkWidgetItem::setUrl(const QString &urlText)
{
    setData(0, Qt::UserRole, urlText);
}

HyperLink HyperLinkWidgetItem::link() const
{
    return HyperLink::fromUrlText(name(), urlText());
}

bool HyperLinkWidgetItem::eventFilter(QObject *watched, QEvent *event)
{
    // The button is no link: it shows the ordinary pointer.
    if (event->type() == QEvent::Enter) {
        if (HyperLinkWidget *owner = list())
            owner->releaseHandCursor();
    }
    return QObject::eventFilter(watched, event);
}

void HyperLinkWidgetItem::onEditButtonClicked()
{
    emit editButtonClicked(this);
}

HyperLinkWidget *HyperLinkWidgetItem::list() const
{
    return qobject_cast<HyperLinkWidget *>(QObject::parent());
}
