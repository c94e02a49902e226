#include "platform/gtk/GtkMainWindow.h"

#include <algorithm>

namespace qvz::gtk {

GdkRectangle desktopBox()
{
    GdkDisplay* display = gdk_display_get_default();
    GdkRectangle box { 0, 0, 0, 0 };
    int count = display ? gdk_display_get_n_monitors(display) : 0;
    for (int i = 0; i < count; ++i) {
        GdkRectangle area;
        gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &area);
        if (i == 0)
            box = area;
        else
            gdk_rectangle_union(&box, &area, &box);
    }
    return box;
}

GtkCheckBox::GtkCheckBox(platform::EventSink& events, const char* caption, bool checked)
    : m_events(events)
    , m_widget(GTK_WIDGET(g_object_ref_sink(gtk_check_button_new_with_label(caption))))
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(m_widget), checked);
    gtk_widget_set_no_show_all(m_widget, TRUE);
    g_signal_connect(m_widget, "toggled", G_CALLBACK(handleToggled), this);
}

GtkCheckBox::~GtkCheckBox()
{
    g_signal_handlers_disconnect_by_data(m_widget, this);
    g_object_unref(m_widget);
}

void GtkCheckBox::setVisible(bool visible)
{
    gtk_widget_set_visible(m_widget, visible);
}

bool GtkCheckBox::checked() const
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_widget));
}

void GtkCheckBox::handleToggled(GtkToggleButton*, gpointer data)
{
    auto* self = static_cast<GtkCheckBox*>(data);
    if (self->m_clickHandler)
        self->m_events.dispatch(self->m_clickHandler);
}

GtkMainWindow::GtkMainWindow(platform::EventSink& events)
    : m_events(events)
    , m_window(gtk_window_new(GTK_WINDOW_TOPLEVEL))
    , m_soundBox(events, "Sound", true)
    , m_mediaPlayer(events)
    , m_contentView(events)
    , m_popupMenu(events)
{
    // Resizable as far as the window manager knows: one that is not may not
    // be maximised under openbox and others. The size request set in
    // setOuterSize() keeps the window from shrinking, and the skinned frame
    // offers no border to drag, so the size stays fixed unless maximised.
    gtk_window_set_resizable(GTK_WINDOW(m_window), TRUE);
    m_frame = std::make_unique<GtkSkinnedFrame>(GTK_WINDOW(m_window), events);
    m_body = m_frame->root();
    gtk_container_add(GTK_CONTAINER(m_window), m_body);
    m_frame->placeOverStatusStrip(m_soundBox.widget());
    g_signal_connect(m_window, "destroy", G_CALLBACK(handleDestroy), this);
    g_signal_connect(m_window, "show", G_CALLBACK(handleShow), this);
    g_signal_connect(m_window, "map-event", G_CALLBACK(handleMapped), this);
    // The view between the caption and the status strip; right clicks that
    // reach the window itself (the status strip, the frame) bring up the
    // shortcut menu.
    gtk_box_pack_start(GTK_BOX(m_frame->contentSlot()), m_contentView.widget(), TRUE, TRUE, 0);
    gtk_widget_add_events(m_window, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(m_window, "button-press-event", G_CALLBACK(handleButtonPress), this);
    gtk_menu_attach_to_widget(GTK_MENU(m_popupMenu.widget()), m_window, nullptr);
}

GtkMainWindow::~GtkMainWindow()
{
    if (m_window) {
        g_signal_handlers_disconnect_by_data(m_window, this);
        gtk_widget_destroy(m_window);
    }
}

void GtkMainWindow::setTitle(const std::string& title)
{
    gtk_window_set_title(GTK_WINDOW(m_window), title.c_str());
    m_frame->setCaption(title);
}

void GtkMainWindow::setClientSize(int width, int height)
{
    m_clientWidth = std::max(width, 1);
    m_clientHeight = std::max(height, 1);
    gtk_widget_set_size_request(m_window, m_clientWidth, m_clientHeight);
    gtk_window_resize(GTK_WINDOW(m_window), m_clientWidth, m_clientHeight);
}

void GtkMainWindow::setOuterSize(int width, int height)
{
    // Without the window manager's decorations the client area is the whole
    // window.
    setClientSize(width, height);
}

void GtkMainWindow::close()
{
    // GTK sends the close request from an idle callback, so a menu item can
    // close the window from its own handler.
    if (m_window)
        gtk_window_close(GTK_WINDOW(m_window));
}

gboolean GtkMainWindow::handleButtonPress(GtkWidget*, GdkEventButton* event, gpointer data)
{
    auto* self = static_cast<GtkMainWindow*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY)
        return FALSE;
    self->m_popupMenu.popUp(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
}

void GtkMainWindow::present()
{
    GdkRectangle box = desktopBox();
    gtk_window_move(GTK_WINDOW(m_window), box.x + (box.width - m_clientWidth) / 2,
        box.y + (box.height - m_clientHeight) / 2);
    gtk_widget_show_all(m_window);
}

void GtkMainWindow::handleDestroy(GtkWidget*, gpointer data)
{
    auto* self = static_cast<GtkMainWindow*>(data);
    self->m_window = nullptr;
    // The music ends with the window, not when the program gets round to it.
    self->m_mediaPlayer.close();
    if (self->m_destroyedHandler)
        self->m_events.dispatch(self->m_destroyedHandler);
    gtk_main_quit();
}

gboolean GtkMainWindow::handleMapped(GtkWidget*, GdkEvent*, gpointer data)
{
    auto* self = static_cast<GtkMainWindow*>(data);
    if (!self->m_mappedOnce) {
        self->m_mappedOnce = true;
        if (self->m_maximizeWhenShown)
            gtk_window_maximize(GTK_WINDOW(self->m_window));
    }
    return FALSE;
}

void GtkMainWindow::handleShow(GtkWidget*, gpointer data)
{
    auto* self = static_cast<GtkMainWindow*>(data);
    if (self->m_shownHandler)
        self->m_events.dispatch(self->m_shownHandler);
}

}
