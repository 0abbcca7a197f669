#pragma once

class QAbstractScrollArea;

// The note painted over a view while it is shown full screen.
void drawFullScreenHint(QAbstractScrollArea *view);
