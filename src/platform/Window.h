#pragma once
// A top-level window of the program as the program logic sees it.
//
// Implemented (gtk/GtkMainWindow): title, client size, centring on the box
// that spans all monitors when first shown, closing ends the event loop.

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
};

}
