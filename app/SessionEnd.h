#pragma once

#include <functional>

// The session manager as the program meets it when a session ends (a logout, a shutdown): it
// grants leave to ask the user, takes back the leave granted, and is told when the session must
// not end. Its object exists only within a real session, so the program hands in calls of its
// own, and tests a recording of them.
struct SessionManagerCalls
{
    // Whether the user may be asked now; true is a leave that is to be released.
    std::function<bool()> allowsInteraction;
    std::function<void()> release;
    std::function<void()> cancel;
};

// Runs the save of the session's end, handing it whether the user may be asked, and answers
// the manager: leave is sought only when the save needs to ask, released when it was granted,
// and the session cancelled when the save returns false (the user keeps the plan).
void answerSessionEnd(const SessionManagerCalls &manager,
                      const std::function<bool(const std::function<bool()> &mayAsk)> &save);
