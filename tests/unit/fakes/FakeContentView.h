#pragma once
// Fakes of the content view and the shortcut menu. The view records what the
// program asked of it; a test plays the view's part by calling
// reportNavigation(), as the real view does before each navigation.

#include "fakes/CallLog.h"
#include "platform/ContentView.h"
#include "platform/PopupMenu.h"

#include <cassert>
#include <string>
#include <vector>

namespace qvz::testing {

class FakeContentView final : public platform::ContentView {
public:
    explicit FakeContentView(CallLog& log)
        : m_log(log)
    {
    }

    void navigate(const std::string& address) override { m_log.add("view.navigate " + address); }
    void onBeforeNavigate(BeforeNavigate handler) override { beforeNavigate = std::move(handler); }
    int installRightClickFilter() override
    {
        m_log.add("view.installRightClickFilter");
        filterInstalled = true;
        return 7;
    }
    void removeRightClickFilter(int handle) override
    {
        m_log.add("view.removeRightClickFilter " + std::to_string(handle));
        filterInstalled = false;
    }

    // Returns the cancel flag as the program left it.
    bool reportNavigation(const platform::Navigation& navigation)
    {
        assert(beforeNavigate && "the program never asked to hear of navigations");
        bool cancel = false;
        beforeNavigate(navigation, cancel);
        return cancel;
    }

    BeforeNavigate beforeNavigate;
    bool filterInstalled = false;

private:
    CallLog& m_log;
};

class FakePopupMenu final : public platform::PopupMenu {
public:
    void setStyle(const platform::PopupMenuStyle& style) override { this->style = style; }
    void setItems(std::vector<platform::MenuItem> items) override { this->items = std::move(items); }

    // Chooses the item with this caption, as the user would.
    void choose(const std::string& caption)
    {
        for (auto& item : items) {
            if (item.caption == caption && item.onClick) {
                item.onClick();
                return;
            }
        }
        assert(false && "no item with that caption and a handler");
    }

    platform::PopupMenuStyle style {};
    std::vector<platform::MenuItem> items;
};

}
