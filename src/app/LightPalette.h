#pragma once

#include <QPalette>

namespace kalvex {

// The program's own colours. Its windows were drawn for black text on a light grey face,
// and several controls mix fixed colours (green text, blue and red captions) with the
// palette's, so a dark desktop theme would leave some of them unreadable: every window
// takes this one light palette, whatever the desktop's.
class LightPalette {
public:
    static QPalette palette();

    // Makes palette() the application's; call before any window is made.
    static void apply();
};

} // namespace kalvex
