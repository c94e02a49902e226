#pragma once
// Paints a skinned frame's parts with Cairo from a platform::FrameLook: the
// title bar (left, stretched middle and right sections), the caption, the
// title buttons in their three states, the border and the status strip.
//
// Pictures named by the look replace the drawn section or button; they are
// read once when the look is set and scaled to the part they cover.

#include "platform/Skin.h"
#include "platform/gtk/GLibPtr.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <cairo.h>

#include <array>
#include <string>

namespace qvz::gtk {

class FramePainter {
public:
    void setLook(const platform::FrameLook& look);
    const platform::FrameLook& look() const { return m_look; }

    // The whole window behind the frame's parts: the border colour, with the
    // client colour inside the border.
    void paintBackground(cairo_t* cr, int width, int height) const;
    // The title bar, including the top border, the sections and the caption
    // left of captionEnd.
    void paintTitleBar(cairo_t* cr, int width, int height, const std::string& caption, int captionStart,
        int captionEnd) const;
    void paintButton(cairo_t* cr, platform::TitleButton button, platform::ButtonState state, bool maximized,
        int size) const;
    void paintStatusStrip(cairo_t* cr, int width, int height) const;
    void paintClientArea(cairo_t* cr, int width, int height) const;

private:
    void paintSectionPicture(cairo_t* cr, GdkPixbuf* picture, double x, double width, double height) const;

    platform::FrameLook m_look;
    GObjectPtr<GdkPixbuf> m_left;
    GObjectPtr<GdkPixbuf> m_middle;
    GObjectPtr<GdkPixbuf> m_right;
    std::array<std::array<GObjectPtr<GdkPixbuf>, platform::kButtonStateCount>, platform::kTitleButtonCount> m_buttons;
};

}
