// Waiting until the screen shows what the windows are meant to show. A window
// that has just been shown, or whose content has changed, keeps an update
// region until its program's message loop paints it, and Wine hands what a
// program painted to the X server a moment later: a picture taken in between
// shows a box without its text or its buttons.
#pragma once

namespace uidriver {

// Waits until every visible window on the screen (the top-level windows and
// their visible descendants) has been seen with nothing left to paint, then
// gives the painted pixels time to reach the screen. Windows still waiting
// for their paint after `seconds` fail the step, which names them.
void WaitUntilPainted(double seconds);

}  // namespace uidriver
