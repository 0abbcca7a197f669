#pragma once

// Builds a plain QGuiApplication once per fuzzing process, in a throw-away home with the
// locale pinned; the readers need pictures and fonts, but nothing of the program above them.
void initializeFuzzApplication(int *argc, char ***argv);
