#pragma once
// The skin styles the frame knows, the scin names that select them, and what
// each one looks like.

#include "platform/Skin.h"

#include <array>
#include <string_view>

namespace qvz {

// The theme manager's style codes, in the skin pack's numbering.
enum class UIStyle {
    FromThemeFile = 0,
    MacOS = 1,
    WinXP = 2,
    DeepBlue = 3,
    Protein = 4,
    BlueGlass = 5,
};

struct SkinName {
    std::string_view name;
    UIStyle style;
};

// The scin values in the order FormCreate compares them, each exactly.
inline constexpr std::array<SkinName, 6> kSkinNames { {
    { "MacOS", UIStyle::MacOS },
    { "DeepBlue", UIStyle::DeepBlue },
    { "BlueGlass", UIStyle::BlueGlass },
    { "Protein", UIStyle::Protein },
    { "WinXP", UIStyle::WinXP },
    { "FromThemeFile", UIStyle::FromThemeFile },
} };

// The scin value read when the key is absent; it matches no name on purpose,
// so a menu without one keeps the design's DeepBlue.
inline constexpr std::string_view kDefaultSkinName = "MacOs";

struct MinimumSize {
    int width;
    int height;
};

// The built-in look of a style. For FromThemeFile it is the neutral look that
// shows until, or instead of, a theme read from a file.
platform::FrameLook builtInLook(UIStyle style);

// The smallest outer size the frame allows in a style: room for the title
// bar's two end pictures, its buttons and a strip of the view. A theme file
// may set its own.
MinimumSize minimumSize(UIStyle style);

}
