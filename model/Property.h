#pragma once

#include "model/ModelTypes.h"
#include "model/PropertyAppearance.h"

#include <QString>

// One user-defined property: its name, the value new cards get, its declared type and how its
// values look.
class Property
{
public:
    explicit Property(const QString &name = QString(), const QString &defaultValue = QString(),
                      int type = PropertyType::Automatic,
                      const PropertyAppearance &appearance = PropertyAppearance());

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    const QString &defaultValue() const { return m_defaultValue; }
    void setDefaultValue(const QString &value) { m_defaultValue = value; }
    PropertyAppearance appearance() const { return m_appearance; }
    const PropertyAppearance &appearanceRef() const { return m_appearance; }
    PropertyAppearance &mutableAppearance() { return m_appearance; }
    void setAppearance(const PropertyAppearance &appearance) { m_appearance = appearance; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }

    // The name of the card's own field (Notes, Links, Images) that the name collides with,
    // ignoring case and surrounding blanks, or an empty text: a CSV file's columns of those
    // names are the card's own, so no property should take one.
    static QString reservedName(const QString &name);

    bool operator==(const Property &other) const;
    bool operator!=(const Property &other) const { return !(*this == other); }

private:
    QString m_name;
    QString m_defaultValue;
    PropertyAppearance m_appearance;
    int m_type;
};
