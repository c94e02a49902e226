#pragma once
// The HTML view in the body of the main window.
//
// Implemented (gtk/GtkContentView): a WebKitGTK view on an ephemeral website
// data manager (no cache, storage or favicons on disk); every navigation of the
// main frame and of subframes, links that would open a new window
// (target="_blank", window.open from a click) and server redirects are
// reported before they start; content WebKit cannot show is never downloaded;
// a right-click filter that keeps right-button presses and releases, and the
// view's own context menu, away from the page.
// Missing: "javascript:" addresses never reach the report (WebKit runs them
// without a navigation). The page that started a navigation inside a subframe
// is taken to be the page shown in the main frame, because WebKit does not
// say which frame started it.

#include <functional>
#include <string>

namespace qvz::platform {

struct Navigation {
    // The address the view is about to load, as the view reports it (a URI).
    std::string address;
    // The address of the page that started the navigation; empty when the
    // program itself asked for it with navigate().
    std::string initiator;
};

class ContentView {
public:
    virtual ~ContentView() = default;

    // Loads an address (a URI, or an absolute path of a local file).
    virtual void navigate(const std::string& address) = 0;

    // Called (through the event sink) before each navigation starts; setting
    // cancel keeps the view on its current page.
    using BeforeNavigate = std::function<void(const Navigation& navigation, bool& cancel)>;
    virtual void onBeforeNavigate(BeforeNavigate handler) = 0;

    // Installs the right-click filter and returns its handle, never 0. While
    // it is installed, right-button presses and releases over the page are
    // discarded before the page sees them, and no context menu of the view
    // appears.
    virtual int installRightClickFilter() = 0;
    virtual void removeRightClickFilter(int handle) = 0;
};

}
