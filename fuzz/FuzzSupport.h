#pragma once

#include <QString>

// Builds a plain QGuiApplication once per fuzzing process, in a throw-away home with the
// locale pinned; the readers need pictures and fonts, but nothing of the program above them.
void initializeFuzzApplication(int *argc, char ***argv);

// Writes one input to a scratch file the readers can open; returns its path.
QString writeFuzzInput(const unsigned char *data, size_t size, const QString &suffix);
