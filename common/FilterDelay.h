#pragma once

class QTimer;

// Re-filtering, searching and previewing walk the whole plan, so the delayed-edit fields
// wait for typing to pause before they report; the pause grows with the number of cards.
int filterDelayMs(int cardCount);

// The pause for the open plan, read anew on every call so that it follows the plan as it grows.
int filterDelayMs();

// Restarts a delayed-edit timer as a single shot of the current pause.
void restartDelayTimer(QTimer &timer);
