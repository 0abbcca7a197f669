#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Modal message boxes titled "Tavrolo"; each returns the button that closed it.
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
int informationWithDontShowAgain(QWidget *parent, const char *key, const QString &text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::Ok);
