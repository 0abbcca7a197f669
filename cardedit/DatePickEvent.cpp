#include "cardedit/DatePickEvent.h"

DatePickEvent::DatePickEvent(int propertyIndex, const QDate &date)
    : QEvent(Type), propertyIndex(propertyIndex), date(date)
{ }

DatePickEvent::~DatePickEvent() = default;
