#pragma once

class QTimer;

// Re-filtering, searching and previewing walk the whole plan, so the delayed-edit fields
// wait for typing to pause before they report; the pause grows with the number of cards.
int filterDelayMs(int cardCount);

// The pause in force for the open plan, read anew on every call so that it follows the plan as
// it grows: filterDelayMs(cards) times the scale.
int filterDelayMs();

// Tests wait through the same pauses in a fraction of the time: every pause in force is the
// designed one times the factor. The program keeps 1.
void setFilterDelayScale(double factor);

// Restarts a delayed-edit timer as a single shot of the current pause.
void restartDelayTimer(QTimer &timer);
