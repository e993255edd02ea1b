#pragma once

namespace tl::widgets {

// The wait cursor for the length of a scope, also when the scope is left by
// an exception. Nests.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// For code that turns the cursor on and off in separate calls (the start-up
// hooks): off without a matching on does nothing.
void SetWaitCursor(bool on);

}  // namespace tl::widgets
