#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class ChartsFilterWidget;
}

// The "Filter" section of the Charts left pane: whether the charts count only the cards that
// the Cards pane's filter shows. It reports the choice with filteredOnOff, for the "*" on the
// section's header.
//
// Listens to a whole plan; the choice changes otherwise only by the box itself.
class ChartsFilterWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged;

    explicit ChartsFilterWidget(QWidget *parent = nullptr);
    ~ChartsFilterWidget() override;

signals:
    void filteredOnOff(bool on);

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    void onUseCardFilterToggled();

private:
    Ui::ChartsFilterWidget *m_ui;
};
