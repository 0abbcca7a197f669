#pragma once

#include <QScrollArea>

// A scroll area that asks for the room its widget wants, so that a dialog built around it
// grows with its content and scrolls only once the screen is full.
class ExpandingScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit ExpandingScrollArea(QWidget *parent = nullptr);

    QSize sizeHint() const override;
};
