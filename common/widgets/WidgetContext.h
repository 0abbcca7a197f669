#pragma once

#include "common/core/UiStyle.h"

class Document;
class Settings;

// What the shared widgets, message boxes, tips and dialog helpers read of the running
// program: the preferences, with the user-interface style, and the open plan, whose size sets the
// pause of the delayed-edit fields. Forms build these widgets with a parent only, so they
// cannot be handed these at construction; the application object sets them here when it
// starts and whenever it replaces the preferences, and nothing in the layers below the
// application reaches up for the application object.
class WidgetContext
{
public:
    static void setSettings(Settings *settings);
    // Null until the application set it.
    static Settings *settings();

    // The preferences' user-interface style, a UiStyle code (Standard also before the
    // application set the preferences).
    static int uiStyle();

    static void setPlan(const Document *plan);
    // Null until the application set it.
    static const Document *plan();
};
