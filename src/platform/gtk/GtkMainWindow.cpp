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
{
    gtk_window_set_resizable(GTK_WINDOW(m_window), FALSE);
    m_body = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(m_window), m_body);
    gtk_fixed_put(GTK_FIXED(m_body), m_soundBox.widget(), 4, 472);
    gtk_widget_set_size_request(m_soundBox.widget(), 97, 16);
    g_signal_connect(m_window, "destroy", G_CALLBACK(handleDestroy), this);
    g_signal_connect(m_window, "show", G_CALLBACK(handleShow), this);
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
}

void GtkMainWindow::setClientSize(int width, int height)
{
    m_clientWidth = std::max(width, 1);
    m_clientHeight = std::max(height, 1);
    gtk_widget_set_size_request(m_body, m_clientWidth, m_clientHeight);
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

void GtkMainWindow::handleShow(GtkWidget*, gpointer data)
{
    auto* self = static_cast<GtkMainWindow*>(data);
    if (self->m_shownHandler)
        self->m_events.dispatch(self->m_shownHandler);
}

}
