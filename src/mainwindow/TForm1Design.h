#pragma once
// The main window's design: sizes, positions and captions of its components.

#include "platform/PopupMenu.h"

namespace qvz::design {

struct Size {
    int width;
    int height;
};

inline constexpr Size kForm1ClientSize { 672, 489 };
inline constexpr const char* kDefaultCaption = "QVZ";

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
