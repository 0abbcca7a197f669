#pragma once

#include "model/ModelTypes.h"
#include "model/PropertyAppearance.h"

#include <optional>

#include <QDate>
#include <QDialog>
#include <QList>
#include <QPair>
#include <QStringList>

namespace Ui {
class PropertyDialog;
}
class RowOrderButtons;

// The one editor of a property: its name, type, default value, pre-defined values, value
// colours, value order and bins. Every pane that lets the user change a property opens it
// with the property (or -1 to add one) and the page to show first, and runs it with exec().
// The plan changes only when the dialog is accepted, in one undoable edit, or at once when the
// user deletes the property from it.
class PropertyDialog : public QDialog
{
    Q_OBJECT

public:
    // The pages, in the order of the tabs; openers pass one as the page shown first.
    enum Page { PredefinedValuesPage = 0, ColorsPage = 1, OrderingPage = 2 };

    // propertyIndex -1 adds a property; 1 .. count - 1 edits that property. Any other index
    // (the "<select>" placeholder 0, the "<cards>" count, anything past it) opens nothing:
    // exec() returns Rejected at once and the plan is never touched.
    PropertyDialog(QWidget *parent, int propertyIndex, int tabIndex);
    ~PropertyDialog() override;

    int exec() override;

    // The type combo's entry for a declared type. A plan file may declare a type outside 0..3:
    // the property is then treated as Automatic, and so it is shown.
    static int typeEntry(int declaredType);

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onAddCurrentValues();
    void onAddPredefinedValue();
    void onDeletePredefinedValue();
    void onUpdateSelection();
    void onSetDefaultColors();
    // Opens the colour picker on the row's colour.
    void onColorRowClicked(int row);
    void onPossibleValuesChanged();
    void onUpdateBins();
    void onDeleteClicked();
    void onUserTypeChanged();
    void onCalendarButtonClicked();
    void onDatePicked(int propertyIndex, QDate date);

private:
    bool isAddMode() const { return m_propertyIndex == -1; }
    QString propertyName() const;
    ActualPropertyType effectiveType() const;
    QStringList allValues(bool keepEmpty, bool includeDefault) const;
    QStringList predefinedValues() const;
    QStringList currentValuesNotPredefined() const;
    QStringList orderingTexts() const;
    void updateAddCurrentValuesButton();
    // The preview of the bins the values fall into, from values as allValues(true, false).
    void updateBins(const QStringList &values);
    // Writes what the bin and order controls show into the working record, for the type the
    // pages were last built for; colours are written as the user picks them.
    void storePages();
    void fillTextPages(const QStringList &values);
    void fillColorRows(const QStringList &headers, const QList<QColor> &colors);
    // Shows the colour on a row's swatch and keeps it in the working record.
    void setRowColor(int row, const QColor &color);
    QColor rowColor(int row) const;

    Ui::PropertyDialog *m_ui;
    RowOrderButtons *m_orderButtons = nullptr;
    int m_propertyIndex;
    // False for an index that is neither -1 nor a property of the user.
    bool m_validIndex;
    ActualPropertyType m_actualType = ActualType::Text;
    PropertyAppearance m_appearance;
    // The effective type the pages were last built for; -1 before the first build.
    int m_pagesType = -1;
    // The values the cards hold, the stored value order first. The plan cannot change while
    // the dialog is open, so they are listed once.
    QStringList m_usedValues;
    // A declared type outside 0..3 as read from the plan, stored again unless the user picks
    // a type.
    std::optional<int> m_keptType;
};
