#include "platform/gtk/GtkPopupMenu.h"

#include <string>

namespace qvz::gtk {

namespace {

// The style class that confines the CSS to this menu.
constexpr const char* kStyleClass = "qvz-popup-menu";

std::string css(const platform::Colour& colour)
{
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + ","
        + std::to_string(colour.blue) + ")";
}

std::string px(int value)
{
    return std::to_string(value) + "px";
}

}

GtkPopupMenu::GtkPopupMenu(platform::EventSink& events)
    : m_events(events)
    , m_menu(GTK_WIDGET(g_object_ref_sink(gtk_menu_new())))
    , m_css(gtk_css_provider_new())
{
    gtk_style_context_add_class(gtk_widget_get_style_context(m_menu), kStyleClass);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(m_css.get()),
        GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

GtkPopupMenu::~GtkPopupMenu()
{
    gtk_style_context_remove_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(m_css.get()));
    gtk_widget_destroy(m_menu);
    g_object_unref(m_menu);
}

void GtkPopupMenu::setStyle(const platform::PopupMenuStyle& style)
{
    // The bar down the left is a hard stop in the menu's background; items
    // are transparent over it except when selected. The font is left alone,
    // so the desktop's menu font shows.
    std::string menu = "menu." + std::string(kStyleClass);
    // Items carry a border, drawn only when selected, inside their height.
    int border = 1;
    int separatorLine = 1;
    int separatorMargin = (style.separatorHeight - separatorLine) / 2;
    std::string sheet = menu + " { padding: 0; border: 1px solid " + css(style.border) + "; "
        + "background-color: " + css(style.background) + "; "
        + "background-image: linear-gradient(to right, " + css(style.bar) + " " + px(style.barWidth) + ", "
        + css(style.background) + " " + px(style.barWidth) + "); }\n"
        + menu + " menuitem { min-height: " + px(style.itemHeight - 2 * border) + "; padding: 0 " + px(8) + " 0 "
        + px(style.barWidth + 6) + "; margin: 0; border: " + px(border) + " solid transparent; color: " + css(style.text)
        + "; background: none; }\n"
        + menu + " menuitem:hover { background-color: " + css(style.selected) + "; border-color: "
        + css(style.selected) + "; color: " + css(style.selectedText) + "; }\n"
        + menu + " menuitem:hover label { color: " + css(style.selectedText) + "; }\n"
        + menu + " menuitem label { color: " + css(style.text) + "; }\n"
        + menu + " separator { min-height: " + px(separatorLine) + "; margin: " + px(separatorMargin) + " 0 "
        + px(style.separatorHeight - separatorLine - separatorMargin) + " " + px(style.barWidth) + "; "
        + "padding: 0; background-color: " + css(style.separator) + "; }\n"
        + menu + " menuitem.separator, " + menu + " separator { border: none; }\n";
    gtk_css_provider_load_from_data(m_css.get(), sheet.c_str(), -1, nullptr);
}

void GtkPopupMenu::setItems(std::vector<platform::MenuItem> items)
{
    GList* old = gtk_container_get_children(GTK_CONTAINER(m_menu));
    for (GList* child = old; child; child = child->next)
        gtk_widget_destroy(GTK_WIDGET(child->data));
    g_list_free(old);
    m_handlers.clear();

    for (auto& item : items) {
        GtkWidget* widget;
        if (item.caption == "-") {
            widget = gtk_separator_menu_item_new();
        } else {
            widget = gtk_menu_item_new_with_label(item.caption.c_str());
            if (item.onClick) {
                m_handlers.push_back(std::make_unique<std::function<void()>>(std::move(item.onClick)));
                g_signal_connect(widget, "activate", G_CALLBACK(handleActivate), this);
                g_object_set_data(G_OBJECT(widget), "qvz-handler", m_handlers.back().get());
            }
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(m_menu), widget);
        gtk_widget_show(widget);
    }
}

void GtkPopupMenu::popUp(const GdkEvent* trigger)
{
    gtk_menu_popup_at_pointer(GTK_MENU(m_menu), trigger);
}

void GtkPopupMenu::handleActivate(GtkMenuItem* item, gpointer data)
{
    auto* self = static_cast<GtkPopupMenu*>(data);
    auto* handler = static_cast<std::function<void()>*>(g_object_get_data(G_OBJECT(item), "qvz-handler"));
    if (handler)
        self->m_events.dispatch(*handler);
}

}
