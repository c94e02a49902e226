#pragma once
// suiForm1 on GTK: the frame the program draws in place of the window
// manager's decorations.
//
// Implemented: title bar of three sections with the caption, four title
// buttons (control box, close, maximise, minimise) drawn in their normal,
// mouse-over and pressed states and exposed to assistive technologies as push
// buttons; dragging the bar moves the window, a double click maximises or
// restores it, the control box and a right click on the bar open the window
// menu; border, client area, status strip, and the slot that holds the
// content view. Maximise and minimise go through the window manager (EWMH).
// Not implemented: keyboard access to the title buttons (they take no focus,
// as title buttons do not); resizing by the border (the frame is fixed-size).

#include "platform/EventSink.h"
#include "platform/Skin.h"
#include "platform/gtk/FramePainter.h"

#include <gtk/gtk.h>

#include <array>
#include <string>

namespace qvz::gtk {

class GtkSkinnedFrame {
public:
    // Builds the frame's widgets for `window`, which it decorates; the
    // window's own decorations are switched off.
    GtkSkinnedFrame(GtkWindow* window, platform::EventSink& events);
    ~GtkSkinnedFrame();
    GtkSkinnedFrame(const GtkSkinnedFrame&) = delete;
    GtkSkinnedFrame& operator=(const GtkSkinnedFrame&) = delete;

    // The widget that fills the window.
    GtkWidget* root() { return m_root; }
    // The container between title bar and status strip that the content view
    // goes into; it grows and shrinks with the window.
    GtkWidget* contentSlot() { return m_contentSlot; }

    // Puts a widget over the frame's lower left corner (the Sound box).
    void placeOverStatusStrip(GtkWidget* widget);

    void setCaption(const std::string& caption);
    void setLayout(const platform::FrameLayout& layout);
    void setLook(const platform::FrameLook& look);
    void setStatusLook(const platform::FrameLook& look);

    bool maximized() const { return m_maximized; }

private:
    struct Button {
        GtkSkinnedFrame* frame = nullptr;
        platform::TitleButton kind = platform::TitleButton::Close;
        GtkWidget* widget = nullptr;
    };

    void placeButtons();
    void toggleMaximized();
    void pressButton(platform::TitleButton kind);
    void openWindowMenu(GtkWidget* anchor, const GdkEvent* trigger);
    int captionStart() const;
    int captionEnd() const;

    static gboolean drawWindow(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean drawTitle(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean drawButton(GtkWidget*, cairo_t* cr, gpointer button);
    static gboolean drawStatus(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean drawContentSlot(GtkWidget*, cairo_t* cr, gpointer self);
    static void buttonClicked(GtkButton*, gpointer button);
    static void buttonStateChanged(GtkWidget*, GtkStateFlags, gpointer);
    static gboolean titlePressed(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean titleReleased(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean titleMoved(GtkWidget*, GdkEventMotion* event, gpointer self);
    static gboolean windowStateChanged(GtkWidget*, GdkEventWindowState* event, gpointer self);

    GtkWindow* m_window;
    platform::EventSink& m_events;
    // Widgets belong to the window's widget tree; the frame keeps pointers only.
    GtkWidget* m_root = nullptr;
    GtkWidget* m_titleBar = nullptr;
    GtkWidget* m_titleArea = nullptr;
    GtkWidget* m_contentSlot = nullptr;
    GtkWidget* m_statusStrip = nullptr;
    GtkWidget* m_windowMenu = nullptr;
    std::array<Button, platform::kTitleButtonCount> m_buttons;
    FramePainter m_painter;
    FramePainter m_statusPainter;
    platform::FrameLayout m_layout;
    std::string m_caption;
    bool m_maximized = false;
    // A press on the bar becomes a move once the pointer has travelled the
    // drag threshold; a press and release in place is a click.
    bool m_dragPending = false;
    double m_pressX = 0;
    double m_pressY = 0;
};

}
