#pragma once

#include "cards/CardItem.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "model/PlanFixture.h"

#include <QAction>
#include <QApplication>
#include <QGestureEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

enum Properties { Status = 1, Group = 2, Cost = 3, Due = 4 };

// Status and Group (text), Cost (numbers in bins of 10), Due (dates); one card per row of texts.
inline void fillCards(const QList<QStringList> &cards)
{
    Document &plan = *doc();
    plan.clear(false);
    PlanFixture::addProperty(plan, QStringLiteral("Status"), PropertyType::Text);
    PlanFixture::addProperty(plan, QStringLiteral("Group"), PropertyType::Text);
    PlanFixture::addProperty(plan, QStringLiteral("Cost"), PropertyType::Numeric);
    PlanFixture::addProperty(plan, QStringLiteral("Due"), PropertyType::Date);
    plan.editablePropertyAppearance(Cost, TestPlanKey::key()).setBinSize(10);
    for (const QStringList &card : cards) {
        QList<PropertyIndexAndValue> values;
        for (int i = 0; i < card.size(); ++i)
            values.append({i + 1, card.at(i)});
        plan.addTaskWithValues(values, QString(), {}, -1, false);
    }
    // Exact colours: no gradient on headers and rows.
    plan.setCardsGradient(0, false);
}

// One entry of a context menu as it was shown.
struct MenuEntry
{
    QString text;
    bool enabled;
    bool checked;
};

// The scene and the view wired as the main window wires them, shown at a fixed size.
struct ShownView
{
    explicit ShownView(int x, int y, const QSize &size = QSize(800, 600))
        : scene(doc()), view(&scene)
    {
        doc()->setXProperty(x, false);
        doc()->setYProperty(y, false);
        QObject::connect(doc(), &Document::changed, &scene, &CardsScene::onChangedDoc);
        QObject::connect(doc(), &Document::changed, &view, &CardsView::onChangedDoc);
        QObject::connect(&scene, &CardsScene::redrawing, &view, &CardsView::onAutoZoom);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(size);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qWarning("the view was not shown");
        doc()->emitChanged(EventType::AllChanged);
    }

    QPoint at(const QPointF &scenePoint) const { return view.mapFromScene(scenePoint); }
    // A point of a cell, by fractions of its width and height.
    QPoint cell(int column, int row, double fx = 0.5, double fy = 0.5) const
    {
        const CardsLayouter::Axis &columns = scene.layouter().columns();
        const CardsLayouter::Axis &rows = scene.layouter().rows();
        return at(QPointF(columns.startOf(column) + fx * columns.spans.value(column),
                          rows.startOf(row) + fy * rows.spans.value(row)));
    }
    // The middle of a column's or a row's header.
    QPoint header(bool column, int index) const
    {
        const CardsLayouter::Axis &axis
            = column ? scene.layouter().columns() : scene.layouter().rows();
        const double along = axis.startOf(index) + 0.5 * axis.spans.value(index);
        const double across = -0.5 * doc()->cardsHeaderSize();
        return at(column ? QPointF(along, across) : QPointF(across, along));
    }
    QPoint card(TaskIndex task) const
    {
        return at(scene.cardItemForTask(task)->sceneBoundingRect().center());
    }
    bool cardsInPlace() const
    {
        const QVector<CardsLayouter::Placement> &placements = scene.layouter().placements();
        for (TaskIndex task = 0; task < placements.size(); ++task) {
            if (placements.at(task).placed
                && scene.cardItemForTask(task)->pos() != placements.at(task).target)
                return false;
        }
        return true;
    }

    void mouse(QEvent::Type type, const QPoint &point, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *viewport = view.viewport();
        QMouseEvent event(type, point, viewport->mapToGlobal(point), button, buttons, modifiers);
        QCoreApplication::sendEvent(viewport, &event);
    }
    void press(const QPoint &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton, modifiers);
    }
    // Moves with the left button held, in a few steps.
    void moveTo(const QPoint &from, const QPoint &to,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const int steps = 6;
        for (int i = 1; i <= steps; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, Qt::LeftButton,
                  modifiers);
    }
    void release(const QPoint &point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void drag(const QPoint &from, const QPoint &to,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        press(from, modifiers);
        moveTo(from, to, modifiers);
        release(to, modifiers);
    }

    void wheel(int delta, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
    {
        const QPoint point = view.viewport()->rect().center();
        QWheelEvent event(point, view.viewport()->mapToGlobal(point), QPoint(), QPoint(0, delta),
                          buttons, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
    void pinch(double factor)
    {
        QPinchGesture gesture;
        gesture.setChangeFlags(QPinchGesture::ScaleFactorChanged);
        gesture.setScaleFactor(factor);
        QGestureEvent event({&gesture});
        QCoreApplication::sendEvent(view.viewport(), &event);
    }

    // A right click. The menu it opens is read while it runs, then the entry with the text is
    // chosen, or the menu closed when there is none. Returns the entries, none without a menu;
    // the commands the entry posted are still waiting.
    QList<MenuEntry> rightClick(const QPoint &point, const QString &choose = QString())
    {
        QList<MenuEntry> entries;
        // Destroyed on return: a menu that never ran leaves no timer behind.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction *chosen = nullptr;
            const QList<QAction *> actions = menu->actions();
            for (QAction *action : actions) {
                if (action->isSeparator())
                    continue;
                entries.append({action->text(), action->isEnabled(), action->isChecked()});
                if (!choose.isEmpty() && action->text() == choose)
                    chosen = action;
            }
            if (!chosen) {
                menu->close();
                return;
            }
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        timer.start(0);
        mouse(QEvent::MouseButtonPress, point, Qt::RightButton, Qt::RightButton);
        mouse(QEvent::MouseButtonRelease, point, Qt::RightButton, Qt::NoButton);
        return entries;
    }
    // Runs the commands the menus posted.
    void runPosted() { QCoreApplication::sendPostedEvents(&view, 0); }

    // Rests the pointer on the point; the tip shown then, or the empty text.
    QString toolTipAt(const QPoint &point)
    {
        QHelpEvent event(QEvent::ToolTip, point, view.viewport()->mapToGlobal(point));
        QCoreApplication::sendEvent(view.viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    QImage grab() { return view.viewport()->grab().toImage(); }
    QColor colorAt(const QPointF &scenePoint) { return grab().pixelColor(at(scenePoint)); }

    CardsScene scene;
    CardsView view;
};
