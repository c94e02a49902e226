#pragma once
// The nine reveal effects of the splash, drawn with Cairo. Each frame is a
// function of the progress alone (0 at the start, 1 at the end), so the caller
// paces frames by its clock and a late frame simply shows more.

#include "platform/SplashWindow.h"

#include <cairo.h>

#include <vector>

namespace qvz::gtk {

class RevealFrames {
public:
    RevealFrames(platform::RevealEffect effect, int width, int height);
    ~RevealFrames();
    RevealFrames(const RevealFrames&) = delete;
    RevealFrames& operator=(const RevealFrames&) = delete;

    // Draws the frame at `progress` onto `cr`: what lay behind the window,
    // partly covered by the finished window. A progress of 1 or more draws the
    // finished window alone.
    void draw(cairo_t* cr, cairo_surface_t* behind, cairo_surface_t* finished, double progress);

private:
    void drawCells(cairo_t* cr, cairo_surface_t* finished, double progress, int cellSize);
    void drawDrip(cairo_t* cr, cairo_surface_t* finished, double progress);
    void drawInterlaced(cairo_t* cr, cairo_surface_t* finished, double progress);
    void drawRoll(cairo_t* cr, cairo_surface_t* finished, double progress);
    void drawWaterfall(cairo_t* cr, cairo_surface_t* finished, double progress);
    void drawWipe(cairo_t* cr, cairo_surface_t* finished, double progress);

    platform::RevealEffect m_effect;
    int m_width;
    int m_height;
    // Per cell (blocks, fuse) or per column (drip): the moment, as progress,
    // at which it starts to show. Fixed per window so that frames follow on.
    std::vector<float> m_starts;
    int m_columns = 0;
    int m_rows = 0;
    // The cells' coverage as an 8-bit mask, rebuilt each frame.
    cairo_surface_t* m_mask = nullptr; // ours
};

}
