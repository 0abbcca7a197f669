#include "leftpane/Concertina.h"

#include "common/core/TextHelpers.h"
#include "leftpane/HeaderButton.h"

#include <QLayout>
#include <QVBoxLayout>

Concertina::Concertina(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(1);
    setSizePolicy(policy);
    m_layout = new QVBoxLayout(this);
    m_layout->setSpacing(4);
    m_layout->setContentsMargins(2, 2, 2, 2);
}

HeaderButton *Concertina::addWidget(const QString &title, QWidget *panel, bool open,
                                    const QString &shortcut)
{
    auto *header = new HeaderButton(this, title, open);
    header->setFlat(true);
    // Room on the left for the arrow.
    header->setStyleSheet(QStringLiteral("text-align: left; margin-left: 25px;"));
    QString tip = title;
    if (!shortcut.isEmpty())
        tip += QStringLiteral(" (%1 open/close)").arg(shortcut);
    header->setToolTip(nativeShortcutText(tip));
    QSizePolicy headerPolicy = header->sizePolicy();
    headerPolicy.setHorizontalPolicy(QSizePolicy::Expanding);
    headerPolicy.setHorizontalStretch(1);
    headerPolicy.setVerticalPolicy(QSizePolicy::Fixed);
    headerPolicy.setVerticalStretch(0);
    header->setSizePolicy(headerPolicy);
    m_layout->addWidget(header);

    panel->setParent(this);
    panel->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    // Every section gets the same spacing, whatever its form says.
    if (QLayout *panelLayout = panel->layout()) {
        panelLayout->setSpacing(4);
        panelLayout->setContentsMargins(2, 2, 2, 2);
    }
    m_layout->addWidget(panel);

    // Tabbing runs header, its panel, the next header, its panel, ...
    if (m_lastPanel)
        setTabOrder(m_lastPanel, header);
    setTabOrder(header, panel);
    m_lastPanel = panel;

    panel->setVisible(open);
    m_panels.insert(header, panel);
    connect(header, &QPushButton::clicked, this, &Concertina::onClickedHeader);
    m_layout->invalidate();
    m_headers.append(header);
    return header;
}

void Concertina::addStretch()
{
    m_layout->addStretch(100);
}

void Concertina::setChildOpen(QWidget *panel, bool open)
{
    for (HeaderButton *header : qAsConst(m_headers)) {
        if (m_panels.value(header) != panel)
            continue;
        header->setOpen(open);
        showPanel(panel, open);
    }
}

void Concertina::onClickedHeader()
{
    auto *header = qobject_cast<HeaderButton *>(sender());
    if (!header)
        return;
    QWidget *panel = m_panels.value(header);
    if (!panel)
        return;
    showPanel(panel, header->isOpen());
}

void Concertina::showPanel(QWidget *panel, bool open)
{
    panel->setVisible(open);
    m_layout->invalidate();
    adjustSize();
    emit sizeChanged();
    if (open)
        emit childOpened(panel);
}
