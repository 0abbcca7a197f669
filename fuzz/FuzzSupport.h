#pragma once

#include <QString>

// Builds the application object once per fuzzing process, in a throw-away home, so the
// readers find their plan and preferences as in the program.
void initializeFuzzApplication(int *argc, char ***argv);

// Writes one input to a scratch file the readers can open; returns its path.
QString writeFuzzInput(const unsigned char *data, size_t size, const QString &suffix);
