#include "model/PlanData.h"

bool PlanData::operator==(const PlanData &other) const
{
    // Containers still shared with the other plan compare equal at once, so comparing an undo
    // snapshot with the plan it was taken from costs little.
    return m_tasks == other.m_tasks && m_properties == other.m_properties
        && m_values == other.m_values && m_images == other.m_images
        && m_predefinedValues == other.m_predefinedValues && m_currentView == other.m_currentView
        && m_storedViews == other.m_storedViews && m_cardsAppearance == other.m_cardsAppearance
        && m_searchText == other.m_searchText && m_searchFlag == other.m_searchFlag
        && m_chartsSettings == other.m_chartsSettings
        && m_chartsAppearance == other.m_chartsAppearance
        && m_tableAppearance == other.m_tableAppearance;
}

void PlanData::reset()
{
    *this = PlanData();
    // A view's assignment keeps its own Cards appearance unless the source stores one.
    m_currentView.reset();
}
