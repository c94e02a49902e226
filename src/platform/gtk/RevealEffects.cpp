#include "platform/gtk/RevealEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstddef>

namespace qvz::gtk {

namespace {

constexpr int kBlockSize = 32;
constexpr int kFuseSize = 2;
constexpr int kDripColumnWidth = 4;
constexpr int kInterlaceLine = 2;
// The soft edge of the wipe and the width of the roll, in pixels.
constexpr double kWipeEdge = 24;
constexpr double kRollShare = 0.12;

// A fixed pseudo-random sequence: the same window reveals the same way each
// time, which keeps screenshots comparable.
class Sequence {
public:
    float next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<float>((m_state >> 40) & 0xffffff) / static_cast<float>(0x1000000);
    }

private:
    uint64_t m_state = 0x9e3779b97f4a7c15ULL;
};

int cellSizeOf(platform::RevealEffect effect)
{
    return effect == platform::RevealEffect::Blocks ? kBlockSize : kFuseSize;
}

double clamp01(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

}

RevealFrames::RevealFrames(platform::RevealEffect effect, int width, int height)
    : m_effect(effect)
    , m_width(width)
    , m_height(height)
{
    Sequence random;
    switch (effect) {
    case platform::RevealEffect::Blocks:
    case platform::RevealEffect::Fuse: {
        int size = cellSizeOf(effect);
        m_columns = (width + size - 1) / size;
        m_rows = (height + size - 1) / size;
        // Every cell gets its own moment, spread evenly over the duration and
        // shuffled, so the share shown grows steadily with the progress.
        size_t count = static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows);
        m_starts.resize(count);
        for (size_t i = 0; i < count; ++i)
            m_starts[i] = static_cast<float>(i) / static_cast<float>(count);
        for (size_t i = count; i > 1; --i)
            std::swap(m_starts[i - 1], m_starts[static_cast<size_t>(random.next() * static_cast<float>(i))]);
        m_mask = cairo_image_surface_create(CAIRO_FORMAT_A8, m_columns, m_rows);
        break;
    }
    case platform::RevealEffect::Drip:
        m_columns = (width + kDripColumnWidth - 1) / kDripColumnWidth;
        m_starts.resize(static_cast<size_t>(m_columns));
        // Drops start at different moments in the first half and all reach
        // the bottom by the end.
        for (auto& start : m_starts)
            start = random.next() * 0.5f;
        break;
    default:
        break;
    }
}

RevealFrames::~RevealFrames()
{
    if (m_mask)
        cairo_surface_destroy(m_mask);
}

void RevealFrames::draw(cairo_t* cr, cairo_surface_t* behind, cairo_surface_t* finished, double progress)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    if (progress >= 1.0 || m_effect == platform::RevealEffect::None) {
        cairo_set_source_surface(cr, finished, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        return;
    }
    cairo_set_source_surface(cr, behind, 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    progress = clamp01(progress);
    switch (m_effect) {
    case platform::RevealEffect::Alpha:
        cairo_set_source_surface(cr, finished, 0, 0);
        cairo_paint_with_alpha(cr, progress);
        break;
    case platform::RevealEffect::Blocks:
    case platform::RevealEffect::Fuse:
        drawCells(cr, finished, progress, cellSizeOf(m_effect));
        break;
    case platform::RevealEffect::Drip:
        drawDrip(cr, finished, progress);
        break;
    case platform::RevealEffect::Interlaced:
        drawInterlaced(cr, finished, progress);
        break;
    case platform::RevealEffect::Roll:
        drawRoll(cr, finished, progress);
        break;
    case platform::RevealEffect::Waterfall:
        drawWaterfall(cr, finished, progress);
        break;
    case platform::RevealEffect::Wipe:
        drawWipe(cr, finished, progress);
        break;
    case platform::RevealEffect::None:
        break;
    }
    cairo_restore(cr);
}

void RevealFrames::drawCells(cairo_t* cr, cairo_surface_t* finished, double progress, int cellSize)
{
    cairo_surface_flush(m_mask);
    unsigned char* data = cairo_image_surface_get_data(m_mask);
    int stride = cairo_image_surface_get_stride(m_mask);
    for (int row = 0; row < m_rows; ++row) {
        const float* starts = &m_starts[static_cast<size_t>(row) * static_cast<size_t>(m_columns)];
        unsigned char* line = data + static_cast<ptrdiff_t>(row) * stride;
        for (int column = 0; column < m_columns; ++column)
            line[column] = starts[column] < progress ? 255 : 0;
    }
    cairo_surface_mark_dirty(m_mask);

    cairo_set_source_surface(cr, finished, 0, 0);
    cairo_scale(cr, cellSize, cellSize);
    cairo_pattern_t* mask = cairo_pattern_create_for_surface(m_mask);
    // Cells keep hard edges when the mask is enlarged.
    cairo_pattern_set_filter(mask, CAIRO_FILTER_NEAREST);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
}

void RevealFrames::drawDrip(cairo_t* cr, cairo_surface_t* finished, double progress)
{
    for (int column = 0; column < m_columns; ++column) {
        double start = m_starts[static_cast<size_t>(column)];
        double local = clamp01((progress - start) / (1.0 - start));
        // Drops gather speed as they fall.
        double length = std::ceil(m_height * local * local);
        if (length > 0)
            cairo_rectangle(cr, column * kDripColumnWidth, 0, kDripColumnWidth, length);
    }
    cairo_set_source_surface(cr, finished, 0, 0);
    cairo_fill(cr);
}

void RevealFrames::drawInterlaced(cairo_t* cr, cairo_surface_t* finished, double progress)
{
    // The even lines fill in from the top in the first half, the odd lines
    // from the bottom in the second.
    int lines = (m_height + kInterlaceLine - 1) / kInterlaceLine;
    int evenLines = (lines + 1) / 2;
    int oddLines = lines / 2;
    int evenShown = static_cast<int>(std::ceil(evenLines * clamp01(progress * 2)));
    int oddShown = static_cast<int>(std::ceil(oddLines * clamp01(progress * 2 - 1)));
    for (int i = 0; i < evenShown; ++i)
        cairo_rectangle(cr, 0, 2 * i * kInterlaceLine, m_width, kInterlaceLine);
    for (int i = 0; i < oddShown; ++i) {
        int line = 2 * (oddLines - 1 - i) + 1;
        cairo_rectangle(cr, 0, line * kInterlaceLine, m_width, kInterlaceLine);
    }
    cairo_set_source_surface(cr, finished, 0, 0);
    cairo_fill(cr);
}

void RevealFrames::drawRoll(cairo_t* cr, cairo_surface_t* finished, double progress)
{
    // The picture unrolls from the left like a scroll: the flat part is the
    // picture itself, the roll shows its back (mirrored and shaded).
    double roll = std::max(8.0, m_width * kRollShare);
    double edge = progress * (m_width + roll) - roll;
    if (edge > 0) {
        cairo_rectangle(cr, 0, 0, edge, m_height);
        cairo_set_source_surface(cr, finished, 0, 0);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_rectangle(cr, edge, 0, roll, m_height);
    cairo_clip(cr);
    cairo_translate(cr, 2 * edge + roll, 0);
    cairo_scale(cr, -1, 1);
    cairo_set_source_surface(cr, finished, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(edge, 0, edge + roll, 0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 0.45, 1, 1, 1, 0.25);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.65);
    cairo_rectangle(cr, edge, 0, roll, m_height);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

void RevealFrames::drawWaterfall(cairo_t* cr, cairo_surface_t* finished, double progress)
{
    // The picture pours down from the top edge, its lower rows first; the
    // falling front is drawn stretched and fading like spray.
    double front = m_height * progress;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, m_width, front);
    cairo_clip(cr);
    cairo_set_source_surface(cr, finished, 0, front - m_height);
    cairo_paint(cr);
    cairo_restore(cr);

    double spray = std::min(32.0, m_height - front);
    if (spray >= 1) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, front, m_width, spray);
        cairo_clip(cr);
        // The picture's bottom rows, stretched over the spray.
        cairo_translate(cr, 0, front);
        cairo_scale(cr, 1, spray / 4.0);
        cairo_set_source_surface(cr, finished, 0, -(m_height - 4.0));
        cairo_pattern_t* fade = cairo_pattern_create_linear(0, 0, 0, 4);
        cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0.8);
        cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
        cairo_mask(cr, fade);
        cairo_pattern_destroy(fade);
        cairo_restore(cr);
    }
}

void RevealFrames::drawWipe(cairo_t* cr, cairo_surface_t* finished, double progress)
{
    // A soft edge rises from the bottom; it starts below the window and ends
    // above it so the first and last frames are clean.
    double edge = m_height - progress * (m_height + kWipeEdge);
    cairo_pattern_t* mask = cairo_pattern_create_linear(0, edge, 0, edge + kWipeEdge);
    cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, 1);
    cairo_set_source_surface(cr, finished, 0, 0);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
}

}
