#pragma once

namespace qs {

// Set before SDL's video starts: on X11, an event sent to a window that has gone
// meanwhile is passed over instead of ending the program with Xlib's message;
// every other X error goes to the handler set before, as it always did.
void passOverEventsToGoneWindows();

}  // namespace qs
