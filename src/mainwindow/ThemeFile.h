#pragma once
// The theme file "scin.sui": a text file a menu author writes by hand to give
// the frame its own colours, caption font, border, title pictures and minimum
// size. docs/theme-format.md describes it for authors.
//
// Reading never fails. Every line that can be understood is used; every other
// line, and every setting the file leaves out, keeps the neutral look of
// FromThemeFile. Picture names are relative to the launch folder; whether a
// picture can be read is the painter's business.

#include "mainwindow/SkinStyles.h"
#include "platform/Skin.h"

#include <optional>
#include <string>
#include <string_view>

namespace qvz {

struct Theme {
    platform::FrameLook look;
    MinimumSize minimum;
};

Theme parseThemeFile(std::string_view fileBytes, std::string_view launchFolder);

// "#rgb", "#rrggbb", "#rrggbbaa" or three decimal numbers "r, g, b".
std::optional<platform::Colour> parseColour(std::string_view text);

}
