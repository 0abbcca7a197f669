#pragma once

#include "model/Events.h"
#include "model/Image.h"
#include "model/ModelTypes.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QWidget>

class DelayedEditComboBox;
class HyperLinkWidget;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QToolButton;

// The editing surface of the card dialog: a value field per property, then the notes, links
// and image of the card. It describes one new card (addCard) or the selected cards
// (setSelection, then applyChanges), showing "<varies>" where those cards disagree and
// writing only the fields the user changed. It follows the plan while the dialog is open:
// a property added, edited or deleted (also from its own row) adds, relabels or removes its
// row, and an edited image library is listed again.
//
// Listens to properties added, changed and deleted and to the image library; every change
// drops the listed values it keeps.
class CardsEditScrollWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::ImagesChanged;

    explicit CardsEditScrollWidget(QWidget *parent = nullptr);
    ~CardsEditScrollWidget() override;

    // Rebuilds the property rows and empties the fields.
    void reset();
    // Loads the cards (edit mode).
    void setSelection(const QList<TaskIndex> &tasks);
    // Writes what the user changed to the cards (edit mode).
    void applyChanges(const QList<TaskIndex> &tasks);
    // Creates one card from the fields, in one undo step; returns its index (add mode).
    TaskIndex addCard();
    // Selects the library entry of that index, else the first entry, as loaded rather than
    // chosen by the user.
    void setImage(int imageIndex);

    // Row n belongs to property n + 1.
    int rowCount() const { return m_valueCombos.size(); }
    DelayedEditComboBox *valueCombo(int row) const;
    QLabel *propertyLabel(int row) const;
    QFormLayout *formLayout() const { return m_formLayout; }
    HyperLinkWidget *linksWidget() const { return m_linksWidget; }
    QList<QWidget *> focusWidgets() const;
    void focusFirst();
    // The caller appended a form row of its own after the Image row.
    void setTabOrderAfter(QWidget *widget);

    // Shows the text in an editable combo box: the entry equal to it when one is listed, else
    // the text as typed. A combo that was just filled shows its first entry, so every loader
    // says what it wants shown.
    static void showText(QComboBox *combo, const QString &text);

    // Every property's listed values (sort mode 2, empty kept, predefined, no default), from
    // one walk over the cards, kept until the plan changes: loading empty fields and loading
    // the selected cards list the same values, and quick add looks values up in them.
    const QList<QStringList> &valueLists();

public slots:
    void onChangedDoc(const Events &events);
    void onNotesChanged();
    void onHyperLinksChanged();
    void onImageComboChanged();
    void onEditImageButtonClicked();
    void onEditButtonClicked();
    void onCalendarButtonClicked();
    void onDatePicked(int propertyIndex, QDate date);

protected:
    void customEvent(QEvent *event) override;

private:
    void addPropertyRow(int property, bool resize);
    void removePropertyRow(int property);
    void rebuildPropertyRows();
    void updateImageCombo();
    // Lists the values in the combo at once, without measuring them for its size.
    void fillValueCombo(DelayedEditComboBox *combo, const QStringList &values);
    // The image list starts with "<varies>", the one entry without data.
    bool firstImageEntryVaries() const;

    QFormLayout *m_formLayout;
    QList<QLabel *> m_labels;
    QList<DelayedEditComboBox *> m_valueCombos;
    QList<QToolButton *> m_editButtons;
    QList<QToolButton *> m_calendarButtons;
    QList<QHBoxLayout *> m_rowLayouts;
    QPlainTextEdit *m_notesEdit;
    HyperLinkWidget *m_linksWidget;
    QComboBox *m_imageCombo;
    QToolButton *m_imageButton;
    bool m_notesEdited = false;
    bool m_linksEdited = false;
    bool m_imageEdited = false;
    bool m_hasTrailingRow = false;
    // The loaded cards held different notes, or different link lists.
    bool m_notesVaried = false;
    bool m_linksVaried = false;

    QList<QStringList> m_valueLists;
    bool m_valueListsValid = false;
    // Combos that hold exactly their property's entry of m_valueLists and nothing else.
    QSet<const QComboBox *> m_plainCombos;
    // The library as the image combo lists it, to find the chosen entry again after the library
    // was edited, as the library finds its entries (Image::indexOf).
    QList<Image> m_listedImages;
};
