#include "model/Property.h"

Property::Property(const QString &name, const QString &defaultValue, int type,
                   const PropertyAppearance &appearance)
    : m_name(name), m_defaultValue(defaultValue), m_appearance(appearance), m_type(type)
{ }

QString Property::reservedName(const QString &name)
{
    const QString trimmed = name.trimmed();
    for (const char *reserved : {"Notes", "Links", "Images"}) {
        if (trimmed.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return QLatin1String(reserved);
    }
    return QString();
}

bool Property::operator==(const Property &other) const
{
    return m_name == other.m_name && m_defaultValue == other.m_defaultValue
        && m_appearance == other.m_appearance && m_type == other.m_type;
}
