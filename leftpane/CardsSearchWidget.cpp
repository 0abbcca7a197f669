#include "leftpane/CardsSearchWidget.h"

#include "common/app/Accessors.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/DelayedEditLineEdit.h"
#include "common/widgets/DialogHelpers.h"
#include "model/Document.h"
#include "ui_CardsSearchWidget.h"

CardsSearchWidget::CardsSearchWidget(QWidget *parent)
    : LeftPaneWidget(parent), m_ui(new Ui::CardsSearchWidget)
{
    m_ui->setupUi(this);
    m_ui->m_clearButton->hide();
    // The form's pictures are the light ones; the style's own are set here as on a change.
    setIcons();
    for (QWidget *control :
         {static_cast<QWidget *>(m_ui->m_searchLabel), static_cast<QWidget *>(m_ui->m_searchEdit),
          static_cast<QWidget *>(m_ui->m_searchZoomCheckBox)})
        control->setAttribute(Qt::WA_MacSmallSize);
    m_ui->m_searchZoomCheckBox->setMinimumHeight(25);
    // The field sits 2 pixels lower than the buttons beside it.
    m_ui->m_horizontalLayout->removeWidget(m_ui->m_searchEdit);
    wrapWithSpacers(m_ui->m_searchEdit, m_ui->m_horizontalLayout, 2, 0, 0);

    connect(m_ui->m_searchEdit, &DelayedEditLineEdit::delayedEditTextChanged, this,
            &CardsSearchWidget::onDelayedValueChange);
    connect(m_ui->m_searchZoomCheckBox, &QCheckBox::toggled, this,
            &CardsSearchWidget::onDelayedValueChange);
    connect(m_ui->m_rerunButton, &QPushButton::clicked, this,
            &CardsSearchWidget::onDelayedValueChange);
    connect(m_ui->m_clearButton, &QPushButton::clicked, this, &CardsSearchWidget::onValueClear);
    // The field and the check box are filled by the first whole-plan change.
}

CardsSearchWidget::~CardsSearchWidget()
{
    delete m_ui;
}

void CardsSearchWidget::giveFocus()
{
    m_ui->m_searchEdit->selectAll();
    m_ui->m_searchEdit->setFocus(Qt::OtherFocusReason);
}

void CardsSearchWidget::onDelayedValueChange()
{
    DelayedEditLineEdit *field = m_ui->m_searchEdit;
    const bool hadFocus = field->hasFocus();
    // Blanks show the button too: they can be cleared, though they search for nothing.
    m_ui->m_clearButton->setVisible(!field->text().isEmpty());
    // Reported as a search change, without an announcement: no undo step, not modified.
    doc()->setSearch(field->text(), m_ui->m_searchZoomCheckBox->isChecked(), true, this);
    // Selecting and zooming may move the focus; typing goes on undisturbed.
    if (hadFocus)
        field->setFocus(Qt::OtherFocusReason);
}

void CardsSearchWidget::onValueClear()
{
    m_ui->m_searchEdit->flush();
    m_ui->m_searchEdit->clear();
}

void CardsSearchWidget::onChangedDoc(const Events &events)
{
    if (!events.any(listensTo))
        return;
    followStyle(events);
    for (const Event &event : events.events) {
        switch (event.type) {
        case EventType::AllChanged: {
            showSearch();
            SignalBlocker blocker;
            blocker.add(m_ui->m_searchEdit);
            blocker.add(m_ui->m_searchZoomCheckBox);
            // Runs the stored search on the new plan. It reports a search change while this
            // whole-plan change is still being delivered, so the receivers after this section
            // hear of the search before they hear of the new plan.
            onDelayedValueChange();
            break;
        }
        case EventType::SearchChanged:
            // The section's own search is in the field already, and typing may go on there.
            if (events.source != this)
                showSearch();
            break;
        default:
            break;
        }
    }
}

void CardsSearchWidget::showSearch()
{
    const Document *plan = doc();
    // Typing from before would only search again for a text the plan no longer has.
    m_ui->m_searchEdit->discard();
    SignalBlocker blocker;
    blocker.add(m_ui->m_searchEdit);
    blocker.add(m_ui->m_searchZoomCheckBox);
    m_ui->m_searchEdit->setText(plan->searchText());
    m_ui->m_searchZoomCheckBox->setChecked(plan->searchFlag());
    m_ui->m_clearButton->setVisible(!m_ui->m_searchEdit->text().isEmpty());
}

void CardsSearchWidget::showEvent(QShowEvent *event)
{
    LeftPaneWidget::showEvent(event);
    BalloonTip::showOnce(m_ui->m_searchEdit, QStringLiteral("tip_search"), tr("Search"),
                         tr("Cards with matching visible text will be highlighted."), QString(),
                         10000, true, false);
}

void CardsSearchWidget::setIcons()
{
    m_ui->m_clearButton->setIcon(icon(QStringLiteral("search_cancel.png")));
    m_ui->m_rerunButton->setIcon(icon(QStringLiteral("refresh_16.png")));
}
