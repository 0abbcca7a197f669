#pragma once

#include <QWidget>

struct Events;

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

protected:
    // Gives the section's buttons the pictures of the user-interface style, light or dark. A
    // section with pictures of its own calls it once when built; followStyle calls it again.
    virtual void setIcons() { }
    // The style's part of every section's onChangedDoc: a change of the user-interface style
    // sets the pictures again.
    void followStyle(const Events &events);
};
