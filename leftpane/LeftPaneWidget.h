#pragma once

#include <QWidget>

// The base of every section panel of the Cards, Charts and Table left panes. Sections grow
// no wider than they need, so the pane stays as narrow as its widest open section.
class LeftPaneWidget : public QWidget
{
    Q_OBJECT

public:
    explicit LeftPaneWidget(QWidget *parent = nullptr);

public slots:
    // Puts the keyboard focus on the section's first control; the main window's section
    // shortcuts call it after opening the section.
    virtual void giveFocus() = 0;
};
