#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Modal message boxes titled "Tavrolo"; each returns the button that closed it. Every box
// shows its text as written, never as markup: messages quote values, property and view names,
// file names and server answers, and a "<b>" or "<img src=...>" in them is text like any other.
int criticalMessage(QWidget *parent, const QString &text,
                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                    QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
int warningMessage(QWidget *parent, const QString &text,
                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                   QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
int informationMessage(QWidget *parent, const QString &text,
                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

// Shown only while the boolean preference under the key is false, then set to true; later
// calls return the default button at once.
int warningMessageOnce(const QString &key, QWidget *parent, const QString &text,
                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

// Boxes with a "Don't show this again" check box; ticking it stores false under the key,
// and while the key is false the box is skipped and the default button returned.
int messageBoxWithDontShowAgain(QWidget *parent, QMessageBox::Icon icon, const char *key,
                                const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton);
int warningWithDontShowAgain(QWidget *parent, const char *key, const QString &text,
                             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                             QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
// The title and the text of a box built by its caller (one with buttons of its own), the text
// shown as written like that of every other box.
void setMessageText(QMessageBox &box, const QString &text);
// A box of the given icon with standard buttons, for callers that choose the icon at run time.
int messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
               QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

int informationWithDontShowAgain(QWidget *parent, const char *key, const QString &text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

// Every box of the program, those above and those built by their callers, is run here and
// returns what QMessageBox::exec would. While no one is there to answer (the program is being
// ended from outside), no box opens: each answers at once as Escape would (its Cancel button,
// or its only one), else as its default button would, and clickedButton() says which.
int execMessageBox(QMessageBox &box);
// Set by whoever ends the program from outside, for as long as that lasts; the callers of a box
// ask it to tell an answer from a box no one read.
void setNoOneToAnswerBoxes(bool noOne);
bool noOneToAnswerBoxes();
