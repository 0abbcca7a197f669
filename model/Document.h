#pragma once

#include "model/CardsAppearance.h"
#include "model/ChartsAppearance.h"
#include "model/ChartsSettings.h"
#include "model/Events.h"
#include "model/FilterTerm.h"
#include "model/HyperLink.h"
#include "model/Image.h"
#include "model/ModelTypes.h"
#include "model/Property.h"
#include "model/PropertyAppearance.h"
#include "model/Slice.h"
#include "model/TableAppearance.h"
#include "model/Task.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

// The one open plan: cards, properties, values, images, views and presentation. Everything
// reads and edits the plan through it. It is also a copyable value: the undo list keeps copies
// and compares them. Its data lives in implicitly shared containers, so a snapshot of a large
// plan costs little until one side changes.
//
// Every edit takes a final `undoable` flag: set, it announces itself with aboutToChange (the undo
// text) before the change and reports changed (the events) after it; clear, it only stores.
//
// The member definitions are grouped by concern over several Document*.cpp files.
class Document : public QObject
{
    Q_OBJECT

public:
    explicit Document(QObject *parent = nullptr);
    // Copies the data only: never the QObject identity (parent, connections) nor the caches.
    Document(const Document &other);
    Document &operator=(const Document &other);
    ~Document() override;

    // Compares the data; the change name and the caches take no part.
    bool operator==(const Document &other) const;
    bool operator!=(const Document &other) const { return !(*this == other); }

    // Resets to an empty plan holding the placeholder property "<select>" and, with withTitle,
    // the property "Title". Emits nothing; the change name stays.
    void clear(bool withTitle);

    // The undo label a snapshot copy carries.
    void setChangeName(const QString &name) { m_changeName = name; }
    const QString &changeName() const { return m_changeName; }

    // Cards, properties and values
    const QList<Task> &tasks() const { return m_tasks; }
    QList<TaskIndex> taskIndexes() const;
    int taskCount() const { return m_tasks.size(); }
    const Task &task(TaskIndex task) const { return m_tasks.at(task); }
    Task &task(TaskIndex task) { return m_tasks[task]; }
    const QList<Property> &properties() const { return m_properties; }
    QList<int> propertyIndexes(bool withPlaceholder) const;
    // The property count, "<select>" included; as a property index it stands for "<cards>".
    int propertyCount() const { return m_properties.size(); }
    const Property &property(int property) const { return m_properties.at(property); }
    Property &property(int property) { return m_properties[property]; }
    QString propertyName(int property) const;
    int propertyType(int property) const;
    QString propertyDefaultValue(int property) const;
    PropertyAppearance propertyAppearance(int property) const;
    const PropertyAppearance &propertyAppearanceRef(int property) const;
    PropertyAppearance &editablePropertyAppearance(int property);
    // The first property whose name equals the text ignoring case, or -1.
    int propertyIndex(const QString &name) const;
    QString uniquePropertyName(const QString &name) const;
    QString value(TaskIndex task, int property) const;
    QStringList predefinedValues(int property) const;
    bool isPredefinedValue(int property, const QString &text) const;
    int propertyVisibility(int property) const;
    int visiblePropertyCount() const;

    void addProperty(const QString &name, const QString &defaultValue, int type,
                     const QStringList &predefinedValues, int visibility,
                     const PropertyAppearance &appearance, bool undoable);
    TaskIndex addTask(bool undoable);
    void reorderProperties(const PropertyReorderMap &newToOld, bool undoable);
    void setPropertyVisibility(int property, int visibility, bool undoable);

    // The Cards appearance as the Cards pane reads it
    QString cardsTitle() const { return m_cardsAppearance.title; }
    int cardsTitleSize() const { return m_cardsAppearance.titleSize; }
    QString cardsFooter() const { return m_cardsAppearance.footer; }
    int cardsFooterSize() const { return m_cardsAppearance.footerSize; }
    double cardAspectRatio() const;
    int cardsCellLayout() const { return m_cardsAppearance.cellLayout; }
    QFont cardFont() const { return m_cardsAppearance.cardFont; }
    int cardFontScaling() const { return m_cardsAppearance.fontScaling; }
    bool cardsHeadersShowName() const { return m_cardsAppearance.headersShowName; }
    int cardsHeaderType() const { return m_cardsAppearance.headerType; }
    int cardsHeaderTransparency() const { return m_cardsAppearance.headerTransparency; }
    int cardsRowHeaderTextOrientation() const { return m_cardsAppearance.rowHeaderTextOrientation; }
    int cardFontSize() const { return m_cardsAppearance.cardFontSize; }
    int headerFontScaling() const { return m_cardsAppearance.headerFontScaling; }
    int headerFontSize() const { return m_cardsAppearance.headerFontSize; }
    QColor cardBackgroundColor() const { return m_cardsAppearance.backgroundColor; }
    QColor cardsSelectionColor() const { return m_cardsAppearance.selectionColor; }
    QColor headerColor() const { return m_cardsAppearance.headerColor; }
    QColor headerTextColor() const { return m_cardsAppearance.headerTextColor; }
    QColor cardsLineColor() const { return m_cardsAppearance.lineColor; }
    int cardsHeaderSize() const { return m_cardsAppearance.headerSize; }
    int cardsGradient() const { return m_cardsAppearance.gradient; }
    int cardsShowLegend() const { return m_cardsAppearance.showLegend; }
    int showDropShadow() const { return m_cardsAppearance.dropShadow; }
    int cardsShape() const { return m_cardsAppearance.shape; }
    // These two use the stored ratio as it is, without the fallback of cardAspectRatio.
    double scaledCardWidth() const { return m_cardsAppearance.aspectRatio * 390.0; }
    double limitedCardWidth() const { return qMin(scaledCardWidth(), 390.0); }

    // The blank lines keep each group's additions apart when branches merge.
    // clang-format off
    // Property types, value ranges, value lists, the filter, setting a value, bins and value colours



    // Card, property and image library edits



    // Cards, charts and table presentation setters



    // Views, filter and search



    // Replace and bulk value updates



signals:
    // clang-format on
    void aboutToChange(const QString &name);
    void changed(const Events &events);

private:
    // The model's own tests check fields that have no public reader of their own.
    friend class TestDocument;

    // The change protocol: announce before an undoable edit, report its events after it.
    void announceChange(const QString &undoText, bool undoable);
    void notifyChange(const Events &events, bool undoable);
    void notifyChange(int type, int taskIndex, int propertyIndex, bool undoable);

    // Forget what the caches know about one property.
    void dropCachedProperty(int property) const;
    void dropCaches() const;

    // clang-format off
    // Caches and helpers of the value model



    QList<Task> m_tasks;
    // clang-format on
    QList<Property> m_properties;
    ValueMap m_values;
    QList<QStringList> m_predefinedValues;
    QList<Image> m_images;
    // Derived from the values; filled on demand by const readers, never copied or compared.
    mutable QMap<int, ActualPropertyType> m_actualTypeCache;
    mutable QMap<int, QPair<double, double>> m_numericRangeCache;
    mutable QMap<int, QPair<QDate, QDate>> m_dateRangeCache;
    Slice m_currentView;
    QList<Slice> m_storedViews;
    CardsAppearance m_cardsAppearance;
    QString m_searchText;
    bool m_searchFlag = false;
    QString m_changeName;
    ChartsSettings m_chartsSettings;
    ChartsAppearance m_chartsAppearance;
    TableAppearance m_tableAppearance;
};
