#include "common/widgets/DatePopup.h"

DatePopup::DatePopup(QWidget *parent, int propertyIndex, const QDate &date)
    : QCalendarWidget(parent), m_propertyIndex(propertyIndex)
{
    setWindowFlags(Qt::Popup | Qt::CustomizeWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    if (date.isValid())
        setSelectedDate(date);
    connect(this, &QCalendarWidget::clicked, this, &DatePopup::onClicked);
    adjustSize();
}

void DatePopup::onClicked(QDate d)
{
    emit datePicked(m_propertyIndex, d);
    close();
}
