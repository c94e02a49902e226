#pragma once
// The main window's design: sizes, positions and captions of its components.

namespace qvz::design {

struct Size {
    int width;
    int height;
};

inline constexpr Size kForm1ClientSize { 672, 489 };
inline constexpr const char* kDefaultCaption = "QVZ";

}
