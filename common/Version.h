#pragma once

// The program's version: the window title, the once-per-version preference keys, the version
// query of web pages and the "saved by" note of plan files all take it from here.
constexpr int versionMajor = 2;
constexpr int versionMinor = 4;
constexpr int versionPatch = 1;
