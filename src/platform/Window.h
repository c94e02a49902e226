#pragma once
// A top-level window of the program as the program logic sees it.
//
// Implemented (gtk/GtkMainWindow): title, client size, centring on the box
// that spans all monitors when first shown, closing ends the event loop.
// The skinned frame (gtk/GtkSkinnedFrame) replaces the window manager's
// decorations: title bar with caption and buttons, border, status strip.

#include "platform/Skin.h"

#include "platform/ContentView.h"
#include "platform/PopupMenu.h"

#include "platform/MediaPlayer.h"

#include <functional>
#include <string>

namespace qvz::platform {

// A check box of a window.
class CheckBox {
public:
    virtual ~CheckBox() = default;

    virtual void setVisible(bool visible) = 0;
    virtual bool checked() const = 0;
    // Called (through the event sink) after each click by the user has
    // toggled the box.
    virtual void onClick(std::function<void()> handler) = 0;
};

class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void setTitle(const std::string& title) = 0;
    virtual void setClientSize(int width, int height) = 0;

    // The "Sound" box over the left end of the status strip; ticked and hidden
    // until the program shows it.
    virtual CheckBox& soundBox() = 0;

    // The hidden media player's audio device, MediaPlayer1; it lives as long
    // as the window object.
    virtual MediaPlayer& mediaPlayer() = 0;

    // Called (through the event sink) once the window has been destroyed.
    virtual void onDestroyed(std::function<void()> handler) = 0;
    // Called (through the event sink) each time the window is shown.
    virtual void onShown(std::function<void()> handler) = 0;

    // The outer size: the whole window with its skinned frame. The window can
    // still be maximised beyond it.
    virtual void setOuterSize(int width, int height) = 0;
    // Maximises the window right after it is first shown; until then nothing
    // changes.
    virtual void maximizeWhenShown() = 0;
    // The look of the skinned frame (border, colours, title bar and buttons)
    // and of the status strip, each repainted at once.
    virtual void setFrameLook(const FrameLook& look) = 0;
    virtual void setStatusLook(const FrameLook& look) = 0;
    virtual void setFrameLayout(const FrameLayout& layout) = 0;
    // The HTML view that fills the body between caption and status strip.
    virtual ContentView& contentView() = 0;
    // The shortcut menu of the window, its view and its status strip.
    virtual PopupMenu& popupMenu() = 0;
    // Closes the window as its close button does; returns before it closes.
    virtual void close() = 0;
};

}
