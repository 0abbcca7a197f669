#pragma once

#include "app/WindowPanes.h"

#include <functional>

#include <QObject>
#include <QPointer>

class LeftPane;
class QMainWindow;
class QSlider;
class QWidget;

namespace Ui {
class MainWindow;
}

// The View commands that change what the tabs show: the zoom of the Cards view and the
// toolbar's slider, each tab's left pane (its stored state applied at the tab's first showing),
// full screen per tab, the shortcuts that open and close left-pane sections, and the stored
// views. It keeps the zoom commands and Show Left Pane enabled for the tab shown. A tab goes
// full screen alone, out of the window, unless the toolbar is to go with it; closing it as a
// window of its own brings it back. The main window forwards its view commands here.
class ViewCommands : public QObject
{
    Q_OBJECT

public:
    enum class Tab { Cards, Charts, Table, Properties };

    // showSplitterTip offers the tip about the Cards splitter, a while after full screen.
    ViewCommands(const WindowPanes &panes, Ui::MainWindow &ui, QSlider *zoomSlider,
                 std::function<void()> showSplitterTip, QMainWindow *window);

    // Zoom
    void updateZoomActions();
    void setZoomToFit(bool on);
    void zoomIn();
    void zoomOut();
    void zoomToSlider(int value);
    // The slider follows the view's zoom without zooming again.
    void followViewZoom();

    // Left pane
    void setLeftPaneShown(bool show);
    void updateShowHideLeftPane();
    // The left pane a tab had at the end of the last run, applied once, when the tab is first
    // shown and its splitter knows its sizes.
    void restoreLeftPaneOnFirstShow();

    // Full screen: the shown tab's, or the given tab's.
    void setFullScreen(bool on);
    void setTabFullScreen(Tab tab, bool on);
    // Full screen ends, however it was left or came to be.
    void leaveFullScreen();
    // A tab standing alone in full screen goes back to its page, to go with the window.
    void returnLoneTab();

    // Section shortcuts: the first press opens the section (and the left pane), the second
    // closes it. Each applies to the tab shown where it names none.
    void showLeftPaneSection(Tab tab, QWidget *section);
    void toggleLayout();
    void toggleShowProperties();
    void toggleFilter();
    void toggleSearch();
    void toggleStoredViews();
    void toggleAppearance();
    void toggleChartDisplay();

    // Stored views: item n of the Stored Views section; a number beyond its list does nothing.
    void selectStoredView(int number);
    void selectPreviousStoredView();
    void selectNextStoredView();

protected:
    // The window manager closes the lone tab as a window of its own.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A tab as the commands see it: the page, the splitter (none for Properties), the left
    // pane and the view.
    struct TabPanes
    {
        QWidget *page = nullptr;
        QSplitter *splitter = nullptr;
        LeftPane *leftPane = nullptr;
        QWidget *view = nullptr;
        bool *restoreLeftPane = nullptr;
    };
    TabPanes tabPanes(Tab tab);
    QSplitter *visibleSplitter() const;
    void endFullScreen();
    void takeBackActivation();
    // The tab page a tab's container belongs in.
    QWidget *pageOf(const QWidget *container);
    void showSectionOfShownView(QWidget *cardsSection, QWidget *chartsSection,
                                QWidget *tableSection);

    WindowPanes m_panes;
    Ui::MainWindow &m_ui;
    QSlider *m_zoomSlider;
    std::function<void()> m_showSplitterTip;
    QMainWindow *m_window;
    // The stored left-pane visibility of the tab is still to be applied at its first showing.
    bool m_restoreCardsLeftPane = true;
    bool m_restoreChartsLeftPane = true;
    bool m_restoreTableLeftPane = true;
    // The tab that stands alone in full screen, while one does.
    QPointer<QWidget> m_fullScreenContainer;
    // Full screen with the toolbar took the whole window there, and gives it back.
    bool m_windowMadeFullScreen = false;
};
