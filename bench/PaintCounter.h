#pragma once

// Counts the paints of a widget, so that a benchmark can stop its clock when what the user
// sees has been drawn, not when the command returned.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget, int waitLimitMs = 300000)
        : m_widget(widget), m_waitLimitMs(waitLimitMs)
    {
        widget->installEventFilter(this);
    }
    int count = 0;

    // Runs the event loop until the widget has painted more often than the count given.
    bool waitBeyond(int painted)
    {
        QElapsedTimer timer;
        timer.start();
        while (count <= painted && timer.elapsed() < m_waitLimitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return count > painted;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            ++count;
        return false;
    }

private:
    QWidget *m_widget;
    int m_waitLimitMs;
};
