#pragma once
// The content view as a WebKitGTK 4.1 web view. See platform/ContentView.h for
// what it supports.

#include "platform/ContentView.h"
#include "platform/EventSink.h"
#include "platform/gtk/GLibPtr.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string>

namespace qvz::gtk {

class GtkContentView final : public platform::ContentView {
public:
    explicit GtkContentView(platform::EventSink& events);
    ~GtkContentView() override;

    void navigate(const std::string& address) override;
    void onBeforeNavigate(BeforeNavigate handler) override { m_beforeNavigate = std::move(handler); }
    int installRightClickFilter() override;
    void removeRightClickFilter(int handle) override;

    // The container the web view lives in; the view itself comes with
    // warmUp() or the first navigation.
    GtkWidget* widget() { return m_holder.get(); }

    // Creates the web view and starts its web process on a blank page. The
    // application does this while the start-up pause blocks anyway, so the
    // time it takes is not added to the start.
    void warmUp() { createView(); }

private:
    static gboolean handleDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType, gpointer self);
    static GtkWidget* handleCreate(WebKitWebView*, WebKitNavigationAction*, gpointer self);
    static void handleLoadChanged(WebKitWebView*, WebKitLoadEvent, gpointer self);
    static gboolean MouseHookProc(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean handleContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer);

    void createView();

    // Asks the program about one navigation; true when it may go ahead.
    bool allowed(const std::string& address, const std::string& initiator);
    bool decideNavigation(WebKitNavigationPolicyDecision* decision, WebKitPolicyDecisionType type);

    platform::EventSink& m_events;
    GObjectPtr<GtkWidget> m_holder; // ours beside the parent container's
    GObjectPtr<WebKitWebContext> m_context;
    GObjectPtr<WebKitWebView> m_view; // ours beside the parent container's
    BeforeNavigate m_beforeNavigate;
    // The page the main frame shows, as of its last commit.
    std::string m_committedAddress;
    // The blank page that starts the web process early is not the program's
    // navigation and is never reported; the program's own navigate() is
    // reported with no initiator.
    std::string m_warmUpAddress;
    bool m_programNavigationPending = false;
    // A page allowed as a new-window link, which is then loaded here.
    std::string m_approvedAddress;
    // The address of the navigation last allowed in the main frame, which a
    // server redirect comes from.
    std::string m_lastAllowedAddress;
    // Connections go before the view they are cut from.
    std::unique_ptr<SignalConnection> m_pressFilter;
    std::unique_ptr<SignalConnection> m_releaseFilter;
    std::unique_ptr<SignalConnection> m_contextMenuFilter;
    std::unique_ptr<SignalConnection> m_decidePolicy;
    std::unique_ptr<SignalConnection> m_create;
    std::unique_ptr<SignalConnection> m_loadChanged;
};

}
