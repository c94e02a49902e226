#include "platform/gtk/GtkSkinnedFrame.h"

#include <cmath>

namespace qvz::gtk {

namespace {

using platform::ButtonState;
using platform::TitleButton;

// Space between the bar's ends and the outer buttons, between buttons, and
// between the control box and the caption.
constexpr int kButtonMargin = 4;
constexpr int kButtonGap = 2;
constexpr int kCaptionGap = 6;

enum class WindowCommand {
    Restore,
    Move,
    Minimize,
    Maximize,
    Close,
};

struct MenuEntry {
    const char* label;
    WindowCommand command;
};

constexpr MenuEntry kWindowMenu[] {
    { "Restore", WindowCommand::Restore },
    { "Move", WindowCommand::Move },
    { "Minimise", WindowCommand::Minimize },
    { "Maximise", WindowCommand::Maximize },
    { "Close", WindowCommand::Close },
};

constexpr const char* kCommandKey = "qvz-window-command";

const char* accessibleName(TitleButton kind)
{
    switch (kind) {
    case TitleButton::ControlBox:
        return "Window menu";
    case TitleButton::Close:
        return "Close";
    case TitleButton::Maximize:
        return "Maximise";
    case TitleButton::Minimize:
        return "Minimise";
    }
    return "";
}

// Title buttons are exactly as large as their pictures, whatever the GTK
// theme's buttons would ask for.
constexpr const char* kTitleButtonCss = "button.qvz-title-button { min-width: 0; min-height: 0; padding: 0; "
                                        "margin: 0; border-width: 0; box-shadow: none; background: none; "
                                        "outline-width: 0; }";

GtkCssProvider* titleButtonCss()
{
    // One provider for the program's life, shared by every title button.
    static GtkCssProvider* provider = [] {
        GtkCssProvider* created = gtk_css_provider_new();
        gtk_css_provider_load_from_data(created, kTitleButtonCss, -1, nullptr);
        return created;
    }();
    return provider;
}

}

GtkSkinnedFrame::GtkSkinnedFrame(GtkWindow* window, platform::EventSink& events)
    : m_window(window)
    , m_events(events)
{
    g_object_add_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    gtk_window_set_decorated(m_window, FALSE);
    gtk_widget_set_app_paintable(GTK_WIDGET(m_window), TRUE);
    g_signal_connect(m_window, "draw", G_CALLBACK(drawWindow), this);
    g_signal_connect(m_window, "window-state-event", G_CALLBACK(windowStateChanged), this);

    m_root = gtk_overlay_new();
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(m_root), column);

    m_titleBar = gtk_overlay_new();
    m_titleArea = gtk_drawing_area_new();
    gtk_widget_add_events(m_titleArea, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    g_signal_connect(m_titleArea, "draw", G_CALLBACK(drawTitle), this);
    g_signal_connect(m_titleArea, "button-press-event", G_CALLBACK(titlePressed), this);
    g_signal_connect(m_titleArea, "button-release-event", G_CALLBACK(titleReleased), this);
    g_signal_connect(m_titleArea, "motion-notify-event", G_CALLBACK(titleMoved), this);
    gtk_container_add(GTK_CONTAINER(m_titleBar), m_titleArea);

    for (int index = 0; index < platform::kTitleButtonCount; ++index) {
        Button& button = m_buttons[static_cast<size_t>(index)];
        button.frame = this;
        button.kind = static_cast<TitleButton>(index);
        button.widget = gtk_button_new();
        gtk_widget_set_can_focus(button.widget, FALSE);
        GtkStyleContext* style = gtk_widget_get_style_context(button.widget);
        gtk_style_context_add_class(style, "qvz-title-button");
        gtk_style_context_add_provider(style, GTK_STYLE_PROVIDER(titleButtonCss()), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        atk_object_set_name(gtk_widget_get_accessible(button.widget), accessibleName(button.kind));
        g_signal_connect(button.widget, "draw", G_CALLBACK(drawButton), &button);
        g_signal_connect(button.widget, "clicked", G_CALLBACK(buttonClicked), &button);
        g_signal_connect(button.widget, "state-flags-changed", G_CALLBACK(buttonStateChanged), nullptr);
        gtk_overlay_add_overlay(GTK_OVERLAY(m_titleBar), button.widget);
    }
    gtk_box_pack_start(GTK_BOX(column), m_titleBar, FALSE, FALSE, 0);

    m_contentSlot = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_hexpand(m_contentSlot, TRUE);
    gtk_widget_set_vexpand(m_contentSlot, TRUE);
    g_signal_connect(m_contentSlot, "draw", G_CALLBACK(drawContentSlot), this);
    gtk_box_pack_start(GTK_BOX(column), m_contentSlot, TRUE, TRUE, 0);

    m_statusStrip = gtk_drawing_area_new();
    g_signal_connect(m_statusStrip, "draw", G_CALLBACK(drawStatus), this);
    gtk_box_pack_start(GTK_BOX(column), m_statusStrip, FALSE, FALSE, 0);

    m_windowMenu = gtk_menu_new();
    for (const auto& entry : kWindowMenu) {
        GtkWidget* item = gtk_menu_item_new_with_label(entry.label);
        g_object_set_data(G_OBJECT(item), kCommandKey, GINT_TO_POINTER(static_cast<int>(entry.command)));
        g_signal_connect(item, "activate", G_CALLBACK(+[](GtkMenuItem* item, gpointer data) {
            auto* self = static_cast<GtkSkinnedFrame*>(data);
            auto command = static_cast<WindowCommand>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kCommandKey)));
            self->m_events.dispatch([self, command] {
                if (!self->m_window)
                    return;
                switch (command) {
                case WindowCommand::Restore:
                    gtk_window_unmaximize(self->m_window);
                    break;
                case WindowCommand::Move: {
                    // Button 0 asks the window manager for a keyboard move.
                    int x = 0;
                    int y = 0;
                    gtk_window_get_position(self->m_window, &x, &y);
                    gtk_window_begin_move_drag(self->m_window, 0, x + 40, y + 10, GDK_CURRENT_TIME);
                    break;
                }
                case WindowCommand::Minimize:
                    gtk_window_iconify(self->m_window);
                    break;
                case WindowCommand::Maximize:
                    gtk_window_maximize(self->m_window);
                    break;
                case WindowCommand::Close:
                    gtk_window_close(self->m_window);
                    break;
                }
            });
        }), this);
        gtk_menu_shell_append(GTK_MENU_SHELL(m_windowMenu), item);
    }
    gtk_widget_show_all(m_windowMenu);
    // Attached, the menu is destroyed with the window.
    gtk_menu_attach_to_widget(GTK_MENU(m_windowMenu), GTK_WIDGET(m_window), nullptr);
}

GtkSkinnedFrame::~GtkSkinnedFrame()
{
    if (m_window) {
        g_signal_handlers_disconnect_by_data(m_window, this);
        g_object_remove_weak_pointer(G_OBJECT(m_window), reinterpret_cast<gpointer*>(&m_window));
    }
}

void GtkSkinnedFrame::placeOverStatusStrip(GtkWidget* widget)
{
    gtk_widget_set_halign(widget, GTK_ALIGN_START);
    gtk_widget_set_valign(widget, GTK_ALIGN_END);
    gtk_overlay_add_overlay(GTK_OVERLAY(m_root), widget);
    g_object_set_data(G_OBJECT(m_root), "qvz-status-overlay", widget);
    setLayout(m_layout);
}

void GtkSkinnedFrame::setCaption(const std::string& caption)
{
    m_caption = caption;
    gtk_widget_queue_draw(m_titleArea);
}

void GtkSkinnedFrame::setLayout(const platform::FrameLayout& layout)
{
    m_layout = layout;
    int border = m_painter.look().borderWidth;
    GtkWidget* column = gtk_bin_get_child(GTK_BIN(m_root));
    gtk_widget_set_margin_start(column, border);
    gtk_widget_set_margin_end(column, border);
    gtk_widget_set_margin_bottom(column, border);
    gtk_widget_set_size_request(m_titleArea, -1, layout.titleBarHeight);
    gtk_widget_set_size_request(m_statusStrip, -1, layout.statusHeight);
    if (auto* overlay = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(m_root), "qvz-status-overlay"))) {
        gtk_widget_set_margin_start(overlay, border + layout.checkBoxLeft);
        gtk_widget_set_margin_bottom(overlay, border + layout.checkBoxBottomGap);
        gtk_widget_set_size_request(overlay, layout.checkBoxWidth, layout.checkBoxHeight);
    }
    placeButtons();
}

void GtkSkinnedFrame::placeButtons()
{
    int step = m_layout.buttonSize + kButtonGap;
    for (auto& button : m_buttons) {
        gtk_widget_set_size_request(button.widget, m_layout.buttonSize, m_layout.buttonSize);
        gtk_widget_set_valign(button.widget, GTK_ALIGN_START);
        gtk_widget_set_margin_top(button.widget, m_layout.buttonTop);
        int fromRight = -1;
        switch (button.kind) {
        case TitleButton::ControlBox:
            gtk_widget_set_halign(button.widget, GTK_ALIGN_START);
            gtk_widget_set_margin_start(button.widget, kButtonMargin);
            continue;
        case TitleButton::Close:
            fromRight = 0;
            break;
        case TitleButton::Maximize:
            fromRight = 1;
            break;
        case TitleButton::Minimize:
            fromRight = 2;
            break;
        }
        gtk_widget_set_halign(button.widget, GTK_ALIGN_END);
        gtk_widget_set_margin_end(button.widget, kButtonMargin + fromRight * step);
    }
}

void GtkSkinnedFrame::setLook(const platform::FrameLook& look)
{
    m_painter.setLook(look);
    setLayout(m_layout);
    gtk_widget_queue_draw(GTK_WIDGET(m_window));
}

void GtkSkinnedFrame::setStatusLook(const platform::FrameLook& look)
{
    m_statusPainter.setLook(look);
    gtk_widget_queue_draw(m_statusStrip);
}

int GtkSkinnedFrame::captionStart() const
{
    return kButtonMargin + m_layout.buttonSize + kCaptionGap;
}

int GtkSkinnedFrame::captionEnd() const
{
    int width = gtk_widget_get_allocated_width(m_titleArea);
    return width - kButtonMargin - 3 * (m_layout.buttonSize + kButtonGap) - kCaptionGap;
}

void GtkSkinnedFrame::toggleMaximized()
{
    if (!m_window)
        return;
    if (m_maximized)
        gtk_window_unmaximize(m_window);
    else
        gtk_window_maximize(m_window);
}

void GtkSkinnedFrame::pressButton(TitleButton kind)
{
    if (!m_window)
        return;
    switch (kind) {
    case TitleButton::ControlBox: {
        GdkEvent* trigger = gtk_get_current_event();
        openWindowMenu(m_buttons[static_cast<size_t>(kind)].widget, trigger);
        if (trigger)
            gdk_event_free(trigger);
        break;
    }
    case TitleButton::Close:
        gtk_window_close(m_window);
        break;
    case TitleButton::Maximize:
        toggleMaximized();
        break;
    case TitleButton::Minimize:
        gtk_window_iconify(m_window);
        break;
    }
}

void GtkSkinnedFrame::openWindowMenu(GtkWidget* anchor, const GdkEvent* trigger)
{
    // Restore and Maximise are offered only where they would change something.
    GList* items = gtk_container_get_children(GTK_CONTAINER(m_windowMenu));
    for (GList* node = items; node; node = node->next) {
        auto command = static_cast<WindowCommand>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(node->data), kCommandKey)));
        bool sensitive = true;
        if (command == WindowCommand::Restore)
            sensitive = m_maximized;
        else if (command == WindowCommand::Maximize || command == WindowCommand::Move)
            sensitive = !m_maximized;
        gtk_widget_set_sensitive(GTK_WIDGET(node->data), sensitive);
    }
    g_list_free(items);
    if (anchor)
        gtk_menu_popup_at_widget(GTK_MENU(m_windowMenu), anchor, GDK_GRAVITY_SOUTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
    else
        gtk_menu_popup_at_pointer(GTK_MENU(m_windowMenu), trigger);
}

gboolean GtkSkinnedFrame::drawWindow(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    self->m_painter.paintBackground(cr, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
    return FALSE;
}

gboolean GtkSkinnedFrame::drawTitle(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    self->m_painter.paintTitleBar(cr, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget),
        self->m_caption, self->captionStart(), self->captionEnd());
    return TRUE;
}

gboolean GtkSkinnedFrame::drawButton(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    auto* button = static_cast<Button*>(data);
    GtkStateFlags flags = gtk_widget_get_state_flags(widget);
    ButtonState state = ButtonState::Normal;
    if (flags & GTK_STATE_FLAG_ACTIVE)
        state = ButtonState::Pressed;
    else if (flags & GTK_STATE_FLAG_PRELIGHT)
        state = ButtonState::Hover;
    button->frame->m_painter.paintButton(cr, button->kind, state, button->frame->m_maximized,
        std::min(gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget)));
    // The drawing replaces the GTK theme's button entirely.
    return TRUE;
}

gboolean GtkSkinnedFrame::drawStatus(GtkWidget* widget, cairo_t* cr, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    self->m_statusPainter.paintStatusStrip(cr, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
    return TRUE;
}

gboolean GtkSkinnedFrame::drawContentSlot(GtkWidget*, cairo_t* cr, gpointer)
{
    // Until a view fills the slot it shows as an empty white page would.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    return FALSE;
}

void GtkSkinnedFrame::buttonClicked(GtkButton*, gpointer data)
{
    auto* button = static_cast<Button*>(data);
    button->frame->m_events.dispatch([button] { button->frame->pressButton(button->kind); });
}

void GtkSkinnedFrame::buttonStateChanged(GtkWidget* widget, GtkStateFlags, gpointer)
{
    gtk_widget_queue_draw(widget);
}

gboolean GtkSkinnedFrame::titlePressed(GtkWidget*, GdkEventButton* event, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    if (event->button == GDK_BUTTON_PRIMARY && event->type == GDK_2BUTTON_PRESS) {
        self->m_dragPending = false;
        self->m_events.dispatch([self] { self->toggleMaximized(); });
    } else if (event->button == GDK_BUTTON_PRIMARY && event->type == GDK_BUTTON_PRESS) {
        self->m_dragPending = true;
        self->m_pressX = event->x;
        self->m_pressY = event->y;
    } else if (event->button == GDK_BUTTON_SECONDARY && event->type == GDK_BUTTON_PRESS) {
        auto* trigger = reinterpret_cast<GdkEvent*>(event);
        self->m_events.dispatch([self, trigger] { self->openWindowMenu(nullptr, trigger); });
    }
    return TRUE;
}

gboolean GtkSkinnedFrame::titleReleased(GtkWidget*, GdkEventButton*, gpointer data)
{
    static_cast<GtkSkinnedFrame*>(data)->m_dragPending = false;
    return TRUE;
}

gboolean GtkSkinnedFrame::titleMoved(GtkWidget* widget, GdkEventMotion* event, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    if (!self->m_dragPending || !(event->state & GDK_BUTTON1_MASK) || !self->m_window)
        return FALSE;
    if (!gtk_drag_check_threshold(widget, static_cast<int>(self->m_pressX), static_cast<int>(self->m_pressY),
            static_cast<int>(event->x), static_cast<int>(event->y)))
        return TRUE;
    self->m_dragPending = false;
    // The window manager moves the window from here on, from where the press was.
    int originX = 0;
    int originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(widget), &originX, &originY);
    gtk_window_begin_move_drag(self->m_window, GDK_BUTTON_PRIMARY, originX + static_cast<int>(self->m_pressX),
        originY + static_cast<int>(self->m_pressY), event->time);
    return TRUE;
}

gboolean GtkSkinnedFrame::windowStateChanged(GtkWidget*, GdkEventWindowState* event, gpointer data)
{
    auto* self = static_cast<GtkSkinnedFrame*>(data);
    bool maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    if (maximized != self->m_maximized) {
        self->m_maximized = maximized;
        gtk_widget_queue_draw(self->m_buttons[static_cast<size_t>(TitleButton::Maximize)].widget);
    }
    return FALSE;
}

}
