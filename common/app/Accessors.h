#pragma once

#include <QIcon>
#include <QList>
#include <QString>

class Application;
class Document;
class MainWindow;
class QTableWidget;
class Settings;

// The ways every pane and dialog reaches the application object, the open plan, the
// preferences and the main window. Fetch settings() anew for every use: moving the
// preferences between the platform store and the portable file replaces the object. Only the
// application layer and what stands on it use these; the libraries below are handed what
// they need.
Application *app();
Document *doc();
Settings *settings();
// Null while no main window exists (during start-up and after it closed).
MainWindow *mainWindow();
QIcon icon(const QString &name);

// Plan paths kept in the preferences travel with the portable settings file, so they are
// stored relative to the application folder. Empty and absolute paths come back unchanged.
QString absolutePath(const QString &path);
// Relative paths come back unchanged.
QString relativePath(const QString &path);

// Ascending, distinct rows whose shown cells are all selected; rows hidden by a filter are
// never among them.
QList<int> selectedRows(const QTableWidget *table);
int sumOfList(const QList<int> &values);
// 0 to n - 1 from the C library's generator, which is never seeded, so every run repeats.
int randomInt(int n);
void sleepMicroseconds(unsigned int microseconds);
