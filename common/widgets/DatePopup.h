#pragma once

#include <QCalendarWidget>

// A pop-up calendar for picking the date of one property's value; it reports the clicked
// date with the property's index and then deletes itself. The caller places and shows it.
class DatePopup : public QCalendarWidget
{
    Q_OBJECT
public:
    DatePopup(QWidget *parent, int propertyIndex, const QDate &date);

signals:
    void datePicked(int propertyIndex, QDate date);

private slots:
    void onClicked(QDate d);

private:
    int m_propertyIndex;
};
