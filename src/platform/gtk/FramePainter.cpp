#include "platform/gtk/FramePainter.h"

#include <gdk/gdk.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace qvz::gtk {

namespace {

using platform::ButtonShape;
using platform::ButtonState;
using platform::Colour;
using platform::TitleButton;
using platform::TitleFinish;

// The title pictures are drawn at these sizes whatever size their files have.
constexpr int kTitlePictureHeight = 32;

void setColour(cairo_t* cr, Colour colour, double alphaScale = 1.0)
{
    cairo_set_source_rgba(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
        colour.alpha / 255.0 * alphaScale);
}

// Moves a colour towards white (amount > 0) or black (amount < 0).
Colour shade(Colour colour, double amount)
{
    auto channel = [amount](uint8_t value) {
        double target = amount > 0 ? 255.0 : 0.0;
        return static_cast<uint8_t>(std::lround(value + (target - value) * std::fabs(amount)));
    };
    return { channel(colour.red), channel(colour.green), channel(colour.blue), colour.alpha };
}

void addStop(cairo_pattern_t* pattern, double offset, Colour colour, double alpha = 1.0)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.red / 255.0, colour.green / 255.0,
        colour.blue / 255.0, colour.alpha / 255.0 * alpha);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    radius = std::min({ radius, width / 2, height / 2 });
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, width, height);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Only the top corners are rounded: the bar sits on the rest of the frame.
void topRoundedRectangle(cairo_t* cr, double width, double height, double radius)
{
    radius = std::min({ radius, width / 2, height });
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 0, height);
    cairo_line_to(cr, 0, radius);
    if (radius > 0)
        cairo_arc(cr, radius, radius, radius, M_PI, 3 * M_PI / 2);
    cairo_line_to(cr, width - radius, 0);
    if (radius > 0)
        cairo_arc(cr, width - radius, radius, radius, -M_PI / 2, 0);
    cairo_line_to(cr, width, height);
    cairo_close_path(cr);
}

GdkPixbuf* loadPicture(const std::string& path, int width, int height)
{
    if (path.empty())
        return nullptr;
    GError* error = nullptr;
    GdkPixbuf* picture = gdk_pixbuf_new_from_file_at_scale(path.c_str(), width, height, FALSE, &error);
    // A picture that cannot be read is drawn from the colours: the theme file
    // is the menu author's, and a broken picture must not stop the menu.
    GErrorPtr owned(error);
    return picture;
}

void paintFinish(cairo_t* cr, const platform::FrameLook& look, int width, int height)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, height);
    addStop(gradient, 0, look.titleTop);
    addStop(gradient, 1, look.titleFinish == TitleFinish::Flat ? look.titleTop : look.titleBottom);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);

    switch (look.titleFinish) {
    case TitleFinish::Flat:
    case TitleFinish::Gradient:
        break;
    case TitleFinish::Brushed: {
        // Streaks of varying strength, from a fixed sequence so that every
        // run paints the same picture.
        unsigned seed = 12345;
        cairo_set_line_width(cr, 1);
        for (int y = 0; y < height; ++y) {
            seed = seed * 1103515245u + 12345u;
            double strength = ((seed >> 16) % 100) / 100.0;
            setColour(cr, strength > 0.5 ? Colour { 255, 255, 255, 255 } : Colour { 0, 0, 0, 255 },
                0.04 + 0.10 * std::fabs(strength - 0.5));
            cairo_move_to(cr, 0, y + 0.5);
            cairo_line_to(cr, width, y + 0.5);
            cairo_stroke(cr);
        }
        break;
    }
    case TitleFinish::Glossy: {
        cairo_pattern_t* shine = cairo_pattern_create_linear(0, 0, 0, height / 2.0);
        cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, 0.75);
        cairo_pattern_add_color_stop_rgba(shine, 1, 1, 1, 1, 0.15);
        cairo_set_source(cr, shine);
        roundedRectangle(cr, 2, 1, width - 4, height / 2.0, 6);
        cairo_fill(cr);
        cairo_pattern_destroy(shine);
        break;
    }
    case TitleFinish::Organic: {
        Colour bubble = shade(look.titleTop, 0.35);
        for (int x = 40, index = 0; x < width + 20; x += 53, ++index) {
            double radius = 8 + (index * 7) % 11;
            setColour(cr, bubble, 0.35);
            cairo_arc(cr, x, height * (index % 2 ? 0.75 : 0.3), radius, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        // A soft wave along the bar's lower edge.
        setColour(cr, shade(look.titleBottom, -0.25), 0.6);
        cairo_move_to(cr, 0, height);
        for (int x = 0; x <= width; x += 4)
            cairo_line_to(cr, x, height - 4 - 2.5 * std::sin(x / 18.0));
        cairo_line_to(cr, width, height);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    }
    }
}

// The drawn end sections: a light cap and a dark one, so the three sections
// read as parts of one bar.
void paintSectionAccent(cairo_t* cr, const platform::FrameLook& look, double x, double width, double height, bool leftEnd)
{
    cairo_pattern_t* accent = cairo_pattern_create_linear(x, 0, x + width, 0);
    Colour edge = shade(look.titleTop, 0.3);
    addStop(accent, leftEnd ? 0 : 1, edge, 0.45);
    addStop(accent, leftEnd ? 1 : 0, edge, 0.0);
    cairo_set_source(cr, accent);
    cairo_rectangle(cr, x, 0, width, height);
    cairo_fill(cr);
    cairo_pattern_destroy(accent);
}

void paintSymbol(cairo_t* cr, TitleButton button, bool maximized, double size)
{
    double a = size * 0.3;
    double b = size * 0.7;
    cairo_set_line_width(cr, std::max(1.5, size / 10));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (button) {
    case TitleButton::ControlBox:
        for (int row = 0; row < 3; ++row) {
            double y = size * (0.35 + 0.15 * row);
            cairo_move_to(cr, a, y);
            cairo_line_to(cr, b, y);
        }
        break;
    case TitleButton::Close:
        cairo_move_to(cr, a, a);
        cairo_line_to(cr, b, b);
        cairo_move_to(cr, b, a);
        cairo_line_to(cr, a, b);
        break;
    case TitleButton::Maximize:
        if (maximized) {
            cairo_rectangle(cr, a, a + 2, b - a - 2, b - a - 2);
            cairo_move_to(cr, a + 2, a + 2);
            cairo_line_to(cr, a + 2, a);
            cairo_line_to(cr, b, a);
            cairo_line_to(cr, b, b - 2);
            cairo_line_to(cr, b - 2, b - 2);
        } else {
            cairo_rectangle(cr, a, a, b - a, b - a);
        }
        break;
    case TitleButton::Minimize:
        cairo_move_to(cr, a, b);
        cairo_line_to(cr, b, b);
        break;
    }
    cairo_stroke(cr);
}

}

void FramePainter::setLook(const platform::FrameLook& look)
{
    m_look = look;
    const auto& pictures = look.pictures;
    m_left.reset(loadPicture(pictures.left, 97, kTitlePictureHeight));
    m_middle.reset(loadPicture(pictures.middle, 97, kTitlePictureHeight));
    m_right.reset(loadPicture(pictures.right, 97, kTitlePictureHeight));
    for (size_t button = 0; button < m_buttons.size(); ++button) {
        for (size_t state = 0; state < m_buttons[button].size(); ++state)
            m_buttons[button][state].reset(loadPicture(pictures.buttons[button][state], 19, 19));
    }
}

void FramePainter::paintBackground(cairo_t* cr, int width, int height) const
{
    setColour(cr, m_look.border);
    cairo_paint(cr);
    double inset = m_look.borderWidth;
    setColour(cr, m_look.face);
    cairo_rectangle(cr, inset, 0, width - 2 * inset, height - inset);
    cairo_fill(cr);
}

void FramePainter::paintSectionPicture(cairo_t* cr, GdkPixbuf* picture, double x, double width, double height) const
{
    cairo_save(cr);
    cairo_rectangle(cr, x, 0, width, height);
    cairo_clip(cr);
    cairo_translate(cr, x, 0);
    cairo_scale(cr, width / gdk_pixbuf_get_width(picture), height / gdk_pixbuf_get_height(picture));
    gdk_cairo_set_source_pixbuf(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

void FramePainter::paintTitleBar(cairo_t* cr, int width, int height, const std::string& caption, int captionStart,
    int captionEnd) const
{
    // Outside the rounded corners the window shows the border colour.
    setColour(cr, m_look.border);
    cairo_paint(cr);

    cairo_save(cr);
    topRoundedRectangle(cr, width, height, m_look.cornerRadius);
    cairo_clip(cr);
    paintFinish(cr, m_look, width, height);

    double section = std::min(97.0, width / 2.0);
    double middleWidth = std::max(0.0, width - 2 * section);
    if (m_left)
        paintSectionPicture(cr, m_left.get(), 0, section, height);
    else
        paintSectionAccent(cr, m_look, 0, section, height, true);
    if (m_middle && middleWidth > 0)
        paintSectionPicture(cr, m_middle.get(), section, middleWidth, height);
    if (m_right)
        paintSectionPicture(cr, m_right.get(), width - section, section, height);
    else
        paintSectionAccent(cr, m_look, width - section, section, height, false);

    // The bar's lower edge and the top border.
    setColour(cr, shade(m_look.titleBottom, -0.3));
    cairo_rectangle(cr, 0, height - 1, width, 1);
    cairo_fill(cr);
    cairo_restore(cr);

    if (m_look.borderWidth > 0) {
        double half = m_look.borderWidth / 2.0;
        cairo_save(cr);
        cairo_translate(cr, half, half);
        topRoundedRectangle(cr, width - m_look.borderWidth, height, m_look.cornerRadius);
        cairo_restore(cr);
        setColour(cr, m_look.border);
        cairo_set_line_width(cr, m_look.borderWidth);
        cairo_stroke(cr);
    }

    if (caption.empty() || captionEnd <= captionStart)
        return;
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_new();
    std::string families = m_look.captionFont.empty() ? std::string("Sans") : m_look.captionFont + ",Sans";
    pango_font_description_set_family(font, families.c_str());
    pango_font_description_set_weight(font, m_look.captionBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(font, m_look.captionPixelHeight * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, caption.c_str(), -1);
    pango_layout_set_width(layout, (captionEnd - captionStart) * PANGO_SCALE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    int textWidth = 0;
    int textHeight = 0;
    pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
    // The caption lines up with the buttons, which sit near the top of the bar.
    double y = 2 + (19 - textHeight) / 2.0;
    setColour(cr, m_look.captionColour);
    cairo_move_to(cr, captionStart, y);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

void FramePainter::paintButton(cairo_t* cr, TitleButton button, ButtonState state, bool maximized, int size) const
{
    auto buttonIndex = static_cast<size_t>(button);
    if (GdkPixbuf* picture = m_buttons[buttonIndex][static_cast<size_t>(state)].get()) {
        cairo_save(cr);
        cairo_scale(cr, static_cast<double>(size) / gdk_pixbuf_get_width(picture),
            static_cast<double>(size) / gdk_pixbuf_get_height(picture));
        gdk_cairo_set_source_pixbuf(cr, picture, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        return;
    }

    Colour face = m_look.buttonFace;
    if (button == TitleButton::Close)
        face = m_look.closeFace;
    else if (button == TitleButton::Maximize)
        face = m_look.maximizeFace;
    else if (button == TitleButton::Minimize)
        face = m_look.minimizeFace;
    if (state == ButtonState::Hover)
        face = shade(face, 0.35);
    else if (state == ButtonState::Pressed)
        face = shade(face, -0.35);

    double inset = 0.5;
    double extent = size - 1.0;
    switch (m_look.buttonShape) {
    case ButtonShape::Square:
        cairo_rectangle(cr, inset, inset, extent, extent);
        break;
    case ButtonShape::Rounded:
        roundedRectangle(cr, inset, inset, extent, extent, 4);
        break;
    case ButtonShape::Round:
        cairo_arc(cr, size / 2.0, size / 2.0, extent / 2.0 - 1, 0, 2 * M_PI);
        break;
    }
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, size);
    addStop(body, 0, shade(face, 0.25));
    addStop(body, 1, face);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    setColour(cr, shade(face, -0.4));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_save(cr);
    if (state == ButtonState::Pressed)
        cairo_translate(cr, 1, 1);
    setColour(cr, m_look.buttonSymbol);
    paintSymbol(cr, button, maximized, size);
    cairo_restore(cr);
}

void FramePainter::paintStatusStrip(cairo_t* cr, int width, int height) const
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, height);
    addStop(gradient, 0, shade(m_look.face, 0.4));
    addStop(gradient, 1, m_look.face);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    setColour(cr, m_look.titleBottom);
    cairo_rectangle(cr, 0, 0, width, 2);
    cairo_fill(cr);
}

void FramePainter::paintClientArea(cairo_t* cr, int, int) const
{
    setColour(cr, m_look.face);
    cairo_paint(cr);
}

}
