#pragma once

#include <QScrollArea>

class Concertina;

// The scroll area left of the Cards, Charts and Table views. Each tab's pane derives from
// it, adds its sections to m_concertina in display order, then adds the stretch, lets the
// concertina adjust its size and calls onSizeChanged() once. The pane is never narrower
// than its widest open section or header.
class LeftPane : public QScrollArea
{
    Q_OBJECT

public:
    explicit LeftPane(QWidget *parent = nullptr);

    void setChildOpen(QWidget *panel, bool open);
    QSize sizeHint() const override;

signals:
    // An Escape that no control of the pane took; the main window leaves full screen.
    void escapeKeyPressed();

public slots:
    void onSizeChanged();
    void onChildOpened(QWidget *w);

protected:
    void keyPressEvent(QKeyEvent *event) override;

    Concertina *m_concertina;
};
