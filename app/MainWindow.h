#pragma once

#include "ui_MainWindow.h"

#include <QList>
#include <QMainWindow>

class QAction;
class QSlider;

// The program's one top-level window: the menus, the toolbar and the four tabs of the open plan.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QString fileName() const { return m_fileName; }
    QList<QAction *> availableToolBarActions() const { return m_availableToolBarActions; }
    // The actions on the toolbar now.
    QList<QAction *> toolBarActions() const { return m_ui.m_mainToolBar->actions(); }

    void setupToolBar();
    void applyToolBarIconSize();
    void applyToolBarTextStyle();

    // The preference that records the sample plans were offered, once per version; tests
    // preset it through these.
    static QString samplesOfferKey();
    static QString samplesOfferKey(int major, int minor, int patch);
    void offerSamplePlans();
    QString bundleSamplesFolder() const;
    bool hasSamplePlans() const;

private:
    void removeFullScreenAction();
    void replaceToolBarSeparatorsWithSpacers();
    void removeLastHelpSeparator();
    void createZoomSlider();
    bool isDefaultToolBarAction(const QAction *action) const;

    Ui_MainWindow m_ui;
    // The file commands that open and save plans set it; each change also goes to
    // Application::setPlanFileName, where the title and footer variables read it.
    QString m_fileName;
    QSlider *m_zoomSlider = nullptr;
    QAction *m_zoomSliderAction = nullptr;
    QList<QAction *> m_availableToolBarActions;
};
