#pragma once

#include <QDate>
#include <QEvent>

// A day picked in the card editor's date popup, posted by the editor to itself so that the
// value field changes only after the popup's own click handling is over.
class DatePickEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(QEvent::User + 20);

    DatePickEvent(int propertyIndex, const QDate &date);
    ~DatePickEvent() override;

    int propertyIndex;
    QDate date;
};
