#include "platform/gtk/GtkSplashWindow.h"

#include "platform/gtk/GtkMainWindow.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace qvz::gtk {

namespace {

constexpr int64_t kFrameInterval = G_USEC_PER_SEC / 60;
// A window manager that never maps the window must not hang start-up.
constexpr int64_t kMapTimeout = 3 * G_USEC_PER_SEC;

void destroySurface(cairo_surface_t*& surface)
{
    if (surface)
        cairo_surface_destroy(surface);
    surface = nullptr;
}

}

GtkSplashWindow::GtkSplashWindow(platform::EventSink& events)
    : m_events(events)
    , m_window(gtk_window_new(GTK_WINDOW_TOPLEVEL))
{
    gtk_window_set_decorated(GTK_WINDOW(m_window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(m_window), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(m_window), GDK_WINDOW_TYPE_HINT_SPLASHSCREEN);
    gtk_widget_set_app_paintable(m_window, TRUE);
    g_signal_connect(m_window, "draw", G_CALLBACK(handleDraw), this);
}

GtkSplashWindow::~GtkSplashWindow()
{
    g_signal_handlers_disconnect_by_data(m_window, this);
    gtk_widget_destroy(m_window);
    destroySurface(m_behind);
    destroySurface(m_finished);
}

void GtkSplashWindow::setWidth(int width)
{
    m_width = std::max(width, 1);
    gtk_widget_set_size_request(m_window, m_width, m_height);
}

void GtkSplashWindow::setHeight(int height)
{
    m_height = std::max(height, 1);
    gtk_widget_set_size_request(m_window, m_width, m_height);
}

void GtkSplashWindow::setPicture(platform::Picture picture)
{
    m_picture = std::move(picture);
}

void GtkSplashWindow::prepareSurfaces(int x, int y)
{
    destroySurface(m_finished);
    destroySurface(m_behind);

    // The finished window: the theme's window background, the colour of
    // dialogs and buttons, with the picture over it from the top-left corner.
    m_finished = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_width, m_height);
    cairo_t* cr = cairo_create(m_finished);
    gtk_render_background(gtk_widget_get_style_context(m_window), cr, 0, 0, m_width, m_height);
    if (m_picture.width > 0 && m_picture.height > 0) {
        cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_picture.width, m_picture.height);
        cairo_surface_flush(picture);
        unsigned char* data = cairo_image_surface_get_data(picture);
        int stride = cairo_image_surface_get_stride(picture);
        for (int row = 0; row < m_picture.height; ++row)
            std::memcpy(data + static_cast<ptrdiff_t>(row) * stride,
                &m_picture.pixels[static_cast<size_t>(row) * static_cast<size_t>(m_picture.width)],
                static_cast<size_t>(m_picture.width) * 4);
        cairo_surface_mark_dirty(picture);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(picture);
    }
    cairo_destroy(cr);

    // What lies behind: under a compositing manager the window is simply
    // transparent where the effect has not yet reached; without one, X11 lets
    // us read the screen before our window covers it.
    GdkScreen* screen = gtk_widget_get_screen(m_window);
    if (gdk_screen_is_composited(screen)) {
        m_behind = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_width, m_height);
        return;
    }
    m_behind = cairo_image_surface_create(CAIRO_FORMAT_RGB24, m_width, m_height);
    GdkWindow* root = gdk_screen_get_root_window(screen);
    GdkRectangle wanted { x, y, m_width, m_height };
    GdkRectangle screenArea { 0, 0, gdk_window_get_width(root), gdk_window_get_height(root) };
    GdkRectangle visible;
    if (!gdk_rectangle_intersect(&wanted, &screenArea, &visible))
        return;
    GdkPixbuf* desktop = gdk_pixbuf_get_from_window(root, visible.x, visible.y, visible.width, visible.height);
    if (!desktop)
        return;
    cr = cairo_create(m_behind);
    gdk_cairo_set_source_pixbuf(cr, desktop, visible.x - x, visible.y - y);
    cairo_paint(cr);
    cairo_destroy(cr);
    g_object_unref(desktop);
}

void GtkSplashWindow::show()
{
    GdkRectangle box = desktopBox();
    int x = box.x + (box.width - m_width) / 2;
    int y = box.y + (box.height - m_height) / 2;

    GdkScreen* screen = gtk_widget_get_screen(m_window);
    if (gdk_screen_is_composited(screen) && !gtk_widget_get_realized(m_window)) {
        if (GdkVisual* visual = gdk_screen_get_rgba_visual(screen))
            gtk_widget_set_visual(m_window, visual);
    }
    gtk_window_move(GTK_WINDOW(m_window), x, y);
    gtk_window_resize(GTK_WINDOW(m_window), m_width, m_height);
    prepareSurfaces(x, y);

    bool animated = m_effect != platform::RevealEffect::None && m_duration > 0;
    m_frames = std::make_unique<RevealFrames>(animated ? m_effect : platform::RevealEffect::None, m_width, m_height);
    m_progress = animated ? 0.0 : 1.0;
    m_exposed = false;
    gtk_widget_show(m_window);
    waitUntilMapped();
    reveal();
}

void GtkSplashWindow::waitUntilMapped()
{
    // Drawing before the window is on the screen would be lost: the window
    // manager maps its frame after our window, and the first expose clears
    // what was drawn before it. So we wait for that expose (the draw handler
    // has then run once). Nothing but the splash exists yet, so handling the
    // events that arrive meanwhile touches nothing else.
    GdkWindow* window = gtk_widget_get_window(m_window);
    int64_t deadline = g_get_monotonic_time() + kMapTimeout;
    while (window && (!m_exposed || (gdk_window_get_state(window) & GDK_WINDOW_STATE_WITHDRAWN))
        && g_get_monotonic_time() < deadline) {
        if (!g_main_context_iteration(nullptr, FALSE))
            g_usleep(1000);
    }
}

void GtkSplashWindow::reveal()
{
    // The frames are drawn straight onto the window, without the event loop:
    // the effect must run to its end inside show(), and no other event may be
    // handled meanwhile. Each frame shows the effect at the time it is drawn,
    // so a slow frame delays nothing and the last one is drawn on time.
    m_figures = {};
    int64_t start = g_get_monotonic_time();
    int64_t total = m_progress >= 1.0 ? 0 : static_cast<int64_t>(m_duration) * 1000;
    for (;;) {
        int64_t now = g_get_monotonic_time();
        double progress = total > 0 ? std::min(1.0, static_cast<double>(now - start) / static_cast<double>(total)) : 1.0;
        paintNow(progress);
        ++m_figures.frames;
        if (progress >= 1.0)
            break;
        int64_t next = start + m_figures.frames * kFrameInterval;
        int64_t wait = std::min(next, start + total) - g_get_monotonic_time();
        if (wait > 0)
            g_usleep(static_cast<gulong>(wait));
    }
    m_figures.revealMicroseconds = g_get_monotonic_time() - start;
}

void GtkSplashWindow::paintNow(double progress)
{
    m_progress = progress;
    GdkWindow* window = gtk_widget_get_window(m_window);
    if (!window)
        return;
    cairo_rectangle_int_t area { 0, 0, m_width, m_height };
    cairo_region_t* region = cairo_region_create_rectangle(&area);
    GdkDrawingContext* context = gdk_window_begin_draw_frame(window, region);
    drawFrame(gdk_drawing_context_get_cairo_context(context), progress);
    gdk_window_end_draw_frame(window, context);
    cairo_region_destroy(region);
    // A round trip, so the frame is on the screen before the next one is timed.
    gdk_display_sync(gdk_window_get_display(window));
}

void GtkSplashWindow::drawFrame(cairo_t* cr, double progress)
{
    if (m_frames && m_behind && m_finished)
        m_frames->draw(cr, m_behind, m_finished, progress);
}

void GtkSplashWindow::repaint()
{
    paintNow(1.0);
}

void GtkSplashWindow::hide()
{
    gtk_widget_hide(m_window);
    if (GdkDisplay* display = gtk_widget_get_display(m_window))
        gdk_display_flush(display);
}

gboolean GtkSplashWindow::handleDraw(GtkWidget*, cairo_t* cr, gpointer data)
{
    auto* self = static_cast<GtkSplashWindow*>(data);
    self->m_exposed = true;
    self->m_events.dispatch([self, cr] { self->drawFrame(cr, self->m_progress); });
    return TRUE;
}

}
