#pragma once
// The splash window as the program logic sees it: a borderless window that
// shows one picture at its natural size from the top-left corner over the
// button-face colour, revealed by one of nine effects when it is shown.
//
// Implemented (gtk/GtkSplashWindow): an undecorated splash-screen window
// centred on the box spanning all monitors; the nine effects drawn with Cairo,
// paced by the monotonic clock. On X11 without a compositing manager the
// desktop area behind the window is captured before the window maps and the
// effect draws over it; under a compositing manager the window is translucent
// instead. Not implemented: effects on Wayland other than through XWayland.

#include <cstdint>
#include <vector>

namespace qvz::platform {

// The part of a decoded picture that a window can show, as 32-bit pixels
// 0x00RRGGBB, row after row without padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The reveal effects, in the order of the splash's effect list.
enum class RevealEffect {
    None,
    Alpha,
    Blocks,
    Drip,
    Fuse,
    Interlaced,
    Roll,
    Waterfall,
    Wipe,
};

class SplashWindow {
public:
    virtual ~SplashWindow() = default;

    virtual void setWidth(int width) = 0;
    virtual void setHeight(int height) = 0;

    // The picture drawn from the top-left corner and clipped by the window.
    virtual void setPicture(Picture picture) = 0;

    // The effect played when the window is shown, and its duration; a duration
    // of 0 or less shows the window at once.
    virtual void setTransition(RevealEffect effect) = 0;
    virtual void setTransitionDuration(int milliseconds) = 0;

    // Centres the window on the desktop at its current size, shows it and plays
    // the effect; returns once the last frame (the whole picture) is drawn.
    virtual void show() = 0;

    // Draws the window completely at once, without waiting for the event loop.
    virtual void repaint() = 0;

    // Hides the window; it can be shown again.
    virtual void hide() = 0;
};

}
