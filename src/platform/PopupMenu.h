#pragma once
// A skinned pop-up (shortcut) menu of the main window.
//
// Implemented (gtk/GtkPopupMenu): a GtkMenu drawn by CSS after the style
// given, in the system's menu font; it pops up on right clicks on the window
// outside the content view.
// Missing: item pictures and sub-menus, which the program does not use.

#include "platform/Skin.h"

#include <functional>
#include <string>
#include <vector>

namespace qvz::platform {

struct PopupMenuStyle {
    int itemHeight;
    int separatorHeight;
    int barWidth; // the bar down the left side
    Colour bar;
    Colour background;
    Colour separator;
    Colour selected; // border and fill of the selected item
    Colour selectedText;
    Colour text;
    Colour border;
};

struct MenuItem {
    // "-" makes a separator line.
    std::string caption;
    // Called (through the event sink) when the user chooses the item.
    std::function<void()> onClick;
};

class PopupMenu {
public:
    virtual ~PopupMenu() = default;

    virtual void setStyle(const PopupMenuStyle& style) = 0;
    virtual void setItems(std::vector<MenuItem> items) = 0;
};

}
