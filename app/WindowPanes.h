#pragma once

class CardsLeftPane;
class CardsScene;
class CardsView;
class ChartsLeftPane;
class ChartsScene;
class ChartsView;
class PropertiesView;
class QSplitter;
class TableLeftPane;
class TableView;

// The panes of the main window's four tabs as the window built them, handed to the handlers
// that work on them. The window owns them all.
struct WindowPanes
{
    CardsScene *cardsScene = nullptr;
    CardsView *cardsView = nullptr;
    CardsLeftPane *cardsLeftPane = nullptr;
    QSplitter *cardsSplitter = nullptr;
    ChartsScene *chartsScene = nullptr;
    ChartsView *chartsView = nullptr;
    ChartsLeftPane *chartsLeftPane = nullptr;
    QSplitter *chartsSplitter = nullptr;
    TableView *tableView = nullptr;
    TableLeftPane *tableLeftPane = nullptr;
    QSplitter *tableSplitter = nullptr;
    PropertiesView *propertiesView = nullptr;
};
