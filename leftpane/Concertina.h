#pragma once

#include <QList>
#include <QMap>
#include <QWidget>

class HeaderButton;
class QVBoxLayout;

// The column of a left pane: each section is a header button above its panel, and a click
// on the header shows or hides the panel. The pane around it follows sizeChanged() to keep
// its width and childOpened() to scroll an opened panel into view.
class Concertina : public QWidget
{
    Q_OBJECT

public:
    explicit Concertina(QWidget *parent = nullptr);

    // Adds a section at the bottom. The shortcut only goes into the header's tool tip: the
    // main window binds the keys. Keep the returned header to change its text later.
    HeaderButton *addWidget(const QString &title, QWidget *panel, bool open,
                            const QString &shortcut);
    // Once, after the last section, so the sections stay at the top.
    void addStretch();
    // Opens or closes the panel's section; emits the signals even when nothing changes, so
    // a section opened by its shortcut is scrolled into view every time.
    void setChildOpen(QWidget *panel, bool open);

signals:
    void sizeChanged();
    void childOpened(QWidget *panel);

private slots:
    void onClickedHeader();

private:
    void showPanel(QWidget *panel, bool open);

    QVBoxLayout *m_layout;
    QList<HeaderButton *> m_headers;
    QMap<HeaderButton *, QWidget *> m_panels;
    QWidget *m_lastPanel = nullptr;
};
