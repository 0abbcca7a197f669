#pragma once

#include "model/CardsAppearance.h"
#include "model/ChartsAppearance.h"
#include "model/ChartsSettings.h"
#include "model/Image.h"
#include "model/Property.h"
#include "model/Slice.h"
#include "model/TableAppearance.h"
#include "model/Task.h"
#include "model/ValueStore.h"

#include <QList>
#include <QString>
#include <QStringList>

// The plan's data as one value: what an undo snapshot copies, what equality compares (the
// modified mark and the undo list rely on it) and what a new plan starts from. Document holds
// it as its private base, so that its operations name the fields directly. A field added here
// is copied and reset with the others; equality lists the fields in one place, PlanData.cpp.
//
// Every container is implicitly shared: a copy costs little until one side changes.
class PlanData
{
public:
    bool operator==(const PlanData &other) const;
    bool operator!=(const PlanData &other) const { return !(*this == other); }

    // Back to a plan without cards and properties, every record at its defaults.
    void reset();

protected:
    QList<Task> m_tasks;
    QList<Property> m_properties;
    ValueStore m_values;
    // One sorted list per property, parallel to m_properties.
    QList<QStringList> m_predefinedValues;
    QList<Image> m_images;
    Slice m_currentView;
    QList<Slice> m_storedViews;
    CardsAppearance m_cardsAppearance;
    QString m_searchText;
    bool m_searchFlag = false;
    ChartsSettings m_chartsSettings;
    ChartsAppearance m_chartsAppearance;
    TableAppearance m_tableAppearance;
};
