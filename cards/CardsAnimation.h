#pragma once

#include <QAbstractAnimation>
#include <QColor>
#include <QEasingCurve>
#include <QPointF>
#include <QVector>

class CardItem;

// The animation of one layout of the Cards scene: glides every card item that changes to its
// new place, colours and opacity along one eased curve. CardsScene collects the changes of a
// layout and either starts one of these or applies them at once.
//
// One object drives all the cards, so that setting it up and destroying it costs a few bytes per
// card. A group of one property animation per card and property is quadratic: Qt searches the
// group's list linearly for each animation it adds or destroys.
class CardsAnimation : public QAbstractAnimation
{
    Q_OBJECT

public:
    // What a layout changes on one card item; parts says which of the values apply.
    struct Change
    {
        enum Part { Position = 1, Background = 2, Highlight = 4, Opacity = 8 };
        CardItem *item = nullptr;
        int parts = 0;
        QPointF position;
        QColor background;
        QColor highlight;
        double opacity = 1.0;
    };

    // The items' present values are where the animation starts. The items must stay in the
    // scene while it runs: the scene stops it before it removes any.
    CardsAnimation(const QVector<Change> &changes, int duration, QObject *parent = nullptr);

    int duration() const override { return m_duration; }
    int cardCount() const { return m_to.size(); }

    // Sets the change's values on its item at once.
    static void apply(const Change &change);

protected:
    void updateCurrentTime(int currentTime) override;

private:
    QVector<Change> m_from;
    QVector<Change> m_to;
    int m_duration;
    QEasingCurve m_easing {QEasingCurve::InOutSine};
};
