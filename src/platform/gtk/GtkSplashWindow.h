#pragma once
// The splash as a GTK window.
//
// Implemented: an undecorated splash-screen window of a fixed size, centred
// on the box spanning all monitors; the theme's window background (the
// button-face colour) with the picture over it from the top-left corner; the
// reveal effects of RevealEffects drawn straight onto the window, frame after
// frame, paced by the monotonic clock. On X11 without a compositing manager
// the desktop area behind the window is captured before it maps; with one,
// the window is translucent while it is revealed.
// Not done: pacing by the display's frame clock (vsync). Frames are drawn
// every 1/60 s, which Xvfb and ordinary displays accept.

#include "platform/EventSink.h"
#include "platform/SplashWindow.h"
#include "platform/gtk/RevealEffects.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <memory>

namespace qvz::gtk {

class GtkSplashWindow final : public platform::SplashWindow {
public:
    explicit GtkSplashWindow(platform::EventSink& events);
    ~GtkSplashWindow() override;
    GtkSplashWindow(const GtkSplashWindow&) = delete;
    GtkSplashWindow& operator=(const GtkSplashWindow&) = delete;

    void setWidth(int width) override;
    void setHeight(int height) override;
    void setPicture(platform::Picture picture) override;
    void setTransition(platform::RevealEffect effect) override { m_effect = effect; }
    void setTransitionDuration(int milliseconds) override { m_duration = milliseconds; }
    void show() override;
    void repaint() override;
    void hide() override;

    // What the last show drew: for measurements only.
    struct ShowFigures {
        int frames = 0;
        int64_t revealMicroseconds = 0;
    };
    ShowFigures lastShow() const { return m_figures; }

private:
    static gboolean handleDraw(GtkWidget*, cairo_t* cr, gpointer self);
    void prepareSurfaces(int x, int y);
    void waitUntilMapped();
    void reveal();
    void paintNow(double progress);
    void drawFrame(cairo_t* cr, double progress);

    platform::EventSink& m_events;
    GtkWidget* m_window; // owned by GTK's list of top-levels; destroyed by us
    int m_width = 1;
    int m_height = 1;
    platform::Picture m_picture;
    platform::RevealEffect m_effect = platform::RevealEffect::None;
    int m_duration = 0;
    // What lay behind the window, and the finished window; both ours.
    cairo_surface_t* m_behind = nullptr;
    cairo_surface_t* m_finished = nullptr;
    // The frame an expose draws: the effect's current one, then the last.
    double m_progress = 1.0;
    bool m_exposed = false;
    std::unique_ptr<RevealFrames> m_frames;
    ShowFigures m_figures;
};

}
