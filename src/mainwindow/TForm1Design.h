#pragma once
// The main window's design: sizes, positions and captions of its components.

#include "platform/Skin.h"

#include <array>
#include <string_view>
#include "platform/PopupMenu.h"

namespace qvz::design {

struct Size {
    int width;
    int height;
};

inline constexpr Size kForm1ClientSize { 672, 489 };
inline constexpr const char* kDefaultCaption = "QVZ";

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

// The components of Form1 in the order of its design. Positions of the
// components inside suiForm1 are relative to it. A tab order of 0 means the
// component takes no focus.
struct Component {
    std::string_view name;
    std::string_view kind;
    Rect bounds;
    bool visible;
    int tabOrder;
};

inline constexpr std::array<Component, 8> kForm1Components { {
    { "suiForm1", "TsuiForm", { 1, 0, 670, 488 }, true, 0 },
    { "WebBrowser1", "TWebBrowser", { 0, 32, 670, 437 }, true, 1 },
    { "suiStatusBar1", "TsuiStatusBar", { 0, 469, 670, 19 }, true, 0 },
    { "MediaPlayer1", "TMediaPlayer", { 8, 432, 253, 30 }, false, 3 },
    { "CheckBox1", "TCheckBox", { 4, 472, 97, 16 }, false, 4 },
    { "suiThemeManager1", "TsuiThemeManager", { 0, 0, 0, 0 }, false, 0 },
    { "suiFileTheme1", "TsuiFileTheme", { 0, 0, 0, 0 }, false, 0 },
    { "suiPopupMenu1", "TsuiPopupMenu", { 0, 0, 0, 0 }, false, 0 },
} };

// Looks a component up by name; the name must be one of the table's.
constexpr const Component& component(std::string_view name)
{
    for (const auto& entry : kForm1Components) {
        if (entry.name == name)
            return entry;
    }
    // Reached only for a misspelt name, which fails the build when evaluated
    // at compile time.
    throw "no such component in Form1's design";
}

// suiForm1's own settings.
inline constexpr int kTitleBarHeight = 32;
inline constexpr int kTitleSectionWidth = 97; // suiLeft and suiRight, sized to their pictures
inline constexpr int kTitleButtonSize = 19;
inline constexpr int kTitleButtonTop = 2;
inline constexpr const char* kCheckBoxCaption = "Sound";
inline constexpr bool kCheckBoxChecked = true;
// The theme file in the launch folder that "FromThemeFile" loads.
inline constexpr std::string_view kThemeFileName = "scin.sui";

}

namespace qvz::design {

// suiForm1's parts as the platform lays them out, from the table above.
inline constexpr platform::FrameLayout frameLayout()
{
    const Rect frame = component("suiForm1").bounds;
    const Rect status = component("suiStatusBar1").bounds;
    const Rect checkBox = component("CheckBox1").bounds;
    platform::FrameLayout layout;
    layout.titleBarHeight = kTitleBarHeight;
    layout.sectionWidth = kTitleSectionWidth;
    layout.buttonSize = kTitleButtonSize;
    layout.buttonTop = kTitleButtonTop;
    layout.statusHeight = status.height;
    layout.checkBoxLeft = checkBox.left;
    layout.checkBoxBottomGap = frame.height - checkBox.top - checkBox.height;
    layout.checkBoxWidth = checkBox.width;
    layout.checkBoxHeight = checkBox.height;
    return layout;
}
// suiPopupMenu1, the shortcut menu, in the DeepBlue style of the skin pack.
inline constexpr platform::PopupMenuStyle kPopupMenu1Style {
    .itemHeight = 21,
    .separatorHeight = 5,
    .barWidth = 26,
    .bar = { 214, 211, 206 },
    .background = { 255, 255, 255 },
    .separator = { 132, 130, 132 },
    .selected = { 68, 74, 160 },
    .selectedText = { 255, 255, 255 },
    .text = { 0, 0, 0 },
    .border = { 0, 0, 0 },
};

// The items of suiPopupMenu1, in order.
inline constexpr const char* kExit1Caption = "Exit";
inline constexpr const char* kN1Caption = "-";
inline constexpr const char* kSdf3Caption = "Pelmora Home page";

}
