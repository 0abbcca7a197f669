#pragma once

#include "model/ModelTypes.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

// The base of the Table tab's and the Properties tab's tables: what they share with the
// graphics views of the other tabs. Files and links dropped on the table go to the main
// window, Escape and becoming visible are announced, a note on leaving full screen is painted
// for a few seconds, and a hint is painted over the table while the plan lacks cards or
// properties. The subclasses configure the table and paint through their own paintEvent.
class BaseTableView : public QTableWidget
{
    Q_OBJECT

public:
    explicit BaseTableView(QWidget *parent = nullptr);

    // Paints the note on leaving full-screen mode for 5000 ms; a call while it is shown
    // changes nothing, so the note still goes 5000 ms after the first call.
    void showFullScreenExitMessage();
    bool isFullScreenExitMessageShown() const { return m_fullScreenExitMessage; }
    // How long the note stays in views made from now on, 5000 ms unless changed (tests shorten
    // it); returns the duration before.
    static int setFullScreenExitMessageMs(int milliseconds);

    // Selects every row not hidden by a filter, across all columns.
    void selectVisibleRows();
    // The rows whose shown cells are all selected, ascending, each once; a row hidden by the
    // filter is never one of them, whatever a Shift+click or a drag reached over.
    QList<int> selectedRows() const;
    // The columns of the selection ranges spanning every row, ascending, each once; cells
    // selected on their own count for nothing.
    QList<int> selectedColumns() const;

    // The hint both tables paint over an empty plan; empty when the plan needs none.
    static QString emptyPlanHint();

    // Enters what was typed into the open cell editor, as Return does, and closes it; nothing
    // happens without one. The window's close calls it before it saves, so that the file holds
    // the text the user sees in the cell.
    void commitOpenEditor();

signals:
    void visibilityChanged();
    // The table never stands for a card, so the card is -1 and no values are preset.
    void droppedFiles(const QList<QUrl> &urls, TaskIndex taskIndex,
                      const QList<PropertyIndexAndValue> &presets);
    void escapeKeyPressed();

public slots:
    void onHideFullScreenExitMessage();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

    // For the end of the subclasses' paintEvent.
    void drawFullScreenExitMessage();
    // Grey, 11 points, centred in the viewport, one line per line break; nothing for "".
    void drawCenteredMessage(const QString &text);

private:
    bool m_fullScreenExitMessage;
    // One timer, stopped when the note goes early, so that a note shown again later is not
    // cut short by the countdown of the earlier one.
    QTimer m_hideTimer;
    // The cell of the editor opened last; the cell widgets (the Properties table's type combo
    // boxes, its buttons) are index widgets too and are never committed as editors.
    QPersistentModelIndex m_editedIndex;
    // That editor while it lives; a closed editor is deleted later, and until then it is no
    // longer the cell's widget.
    QPointer<QWidget> m_editor;
};
