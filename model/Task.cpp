#include "model/Task.h"

bool Task::operator==(const Task &other) const
{
    return m_notes == other.m_notes && m_links == other.m_links
        && m_imageIndex == other.m_imageIndex;
}
