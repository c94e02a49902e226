#pragma once
// The shortcut menu as a GtkMenu styled by CSS. See platform/PopupMenu.h for
// what it supports.

#include "platform/EventSink.h"
#include "platform/PopupMenu.h"
#include "platform/gtk/GLibPtr.h"

#include <gtk/gtk.h>

#include <memory>
#include <vector>

namespace qvz::gtk {

class GtkPopupMenu final : public platform::PopupMenu {
public:
    explicit GtkPopupMenu(platform::EventSink& events);
    ~GtkPopupMenu() override;

    void setStyle(const platform::PopupMenuStyle& style) override;
    void setItems(std::vector<platform::MenuItem> items) override;

    // Pops the menu up under the pointer for the click that asked for it.
    void popUp(const GdkEvent* trigger);
    GtkWidget* widget() { return m_menu; }

private:
    static void handleActivate(GtkMenuItem*, gpointer self);

    platform::EventSink& m_events;
    GtkWidget* m_menu; // one reference of ours
    GObjectPtr<GtkCssProvider> m_css;
    // Each item's handler, in order; their addresses are the signal data.
    std::vector<std::unique_ptr<std::function<void()>>> m_handlers;
};

}
