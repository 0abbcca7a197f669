#include "model/Property.h"

Property::Property(const QString &name, const QString &defaultValue, int type,
                   const PropertyAppearance &appearance)
    : m_name(name), m_defaultValue(defaultValue), m_appearance(appearance), m_type(type)
{ }

bool Property::operator==(const Property &other) const
{
    return m_name == other.m_name && m_defaultValue == other.m_defaultValue
        && m_appearance == other.m_appearance && m_type == other.m_type;
}
