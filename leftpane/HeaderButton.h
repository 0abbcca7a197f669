#pragma once

#include <QPushButton>

// The bold, flat title of one left-pane section, with an arrow that points down while the
// section is open and right while it is closed. The open state lives here rather than in
// the button's checked state, so the flat button never draws itself pressed.
class HeaderButton : public QPushButton
{
    Q_OBJECT

public:
    HeaderButton(QWidget *parent, const QString &text, bool open);

    bool isOpen() const { return m_open; }
    // Takes effect on the arrow at the next paint.
    void setOpen(bool open) { m_open = open; }

public slots:
    void onToggled();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_open;
};
