#include "platform/gtk/GtkContentView.h"

namespace qvz::gtk {

namespace {

constexpr int kRightClickFilterHandle = 1;
constexpr const char* kWarmUpAddress = "about:blank";

std::string requestAddress(WebKitNavigationAction* action)
{
    const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    return uri ? uri : "";
}

template<typename Handler>
std::unique_ptr<SignalConnection> connect(gpointer instance, const char* signal, Handler handler, gpointer data)
{
    return std::make_unique<SignalConnection>(instance, g_signal_connect(instance, signal, G_CALLBACK(handler), data));
}

}

GtkContentView::GtkContentView(platform::EventSink& events)
    : m_events(events)
    , m_holder(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0))))
{
}

void GtkContentView::createView()
{
    if (m_view)
        return;
    // Nothing of the pages may be written to disk: no cache, no cookies or
    // storage, no favicons (the favicon database stays off unless given a
    // folder).
    // Mesa keeps a shader cache in the home folder, and the web process
    // starts Mesa even when it paints without the GPU. Its helpers inherit
    // this from the program's own environment.
    g_setenv("MESA_SHADER_CACHE_DISABLE", "true", TRUE);
    GObjectPtr<WebKitWebsiteDataManager> data(webkit_website_data_manager_new_ephemeral());
    m_context.reset(webkit_web_context_new_with_website_data_manager(data.get()));
    webkit_web_context_set_cache_model(m_context.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);

    // Without a GPU, GL compositing runs in software and paints a page about
    // ten times slower than WebKit's plain renderer.
    GObjectPtr<WebKitSettings> settings(webkit_settings_new());
    webkit_settings_set_hardware_acceleration_policy(settings.get(), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_enable_developer_extras(settings.get(), FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings.get(), FALSE);

    GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW,
        "web-context", m_context.get(), "settings", settings.get(), nullptr));
    m_view.reset(WEBKIT_WEB_VIEW(g_object_ref_sink(view)));
    gtk_box_pack_start(GTK_BOX(m_holder.get()), view, TRUE, TRUE, 0);
    gtk_widget_show(view);

    m_decidePolicy = connect(view, "decide-policy", handleDecidePolicy, this);
    m_create = connect(view, "create", handleCreate, this);
    m_loadChanged = connect(view, "load-changed", handleLoadChanged, this);

    // The web process starts only with the view's first load and takes a few
    // hundred milliseconds to come up; a blank page now lets that happen
    // while the window is still hidden.
    m_warmUpAddress = kWarmUpAddress;
    webkit_web_view_load_uri(m_view.get(), kWarmUpAddress);
}

GtkContentView::~GtkContentView()
{
    m_pressFilter.reset();
    m_releaseFilter.reset();
    m_contextMenuFilter.reset();
    m_decidePolicy.reset();
    m_create.reset();
    m_loadChanged.reset();
}

void GtkContentView::navigate(const std::string& address)
{
    std::string uri = address;
    if (address.starts_with('/')) {
        GCharPtr converted(g_filename_to_uri(address.c_str(), nullptr, nullptr));
        if (converted)
            uri = converted.get();
    }
    // WebKit may spell the address differently when it reports it, so the
    // program's navigation is recognised as the next one that no page started.
    createView();
    m_programNavigationPending = true;
    webkit_web_view_load_uri(m_view.get(), uri.c_str());
}

int GtkContentView::installRightClickFilter()
{
    createView();
    GtkWidget* view = GTK_WIDGET(m_view.get());
    m_pressFilter = connect(view, "event", MouseHookProc, this);
    m_contextMenuFilter = connect(view, "context-menu", handleContextMenu, this);
    return kRightClickFilterHandle;
}

void GtkContentView::removeRightClickFilter(int handle)
{
    g_return_if_fail(handle == kRightClickFilterHandle);
    m_pressFilter.reset();
    m_releaseFilter.reset();
    m_contextMenuFilter.reset();
}

bool GtkContentView::allowed(const std::string& address, const std::string& initiator)
{
    if (!m_beforeNavigate)
        return true;
    platform::Navigation navigation { address, initiator };
    bool cancel = false;
    m_events.dispatch([&] { m_beforeNavigate(navigation, cancel); });
    return !cancel;
}

bool GtkContentView::decideNavigation(WebKitNavigationPolicyDecision* decision, WebKitPolicyDecisionType type)
{
    auto* policy = WEBKIT_POLICY_DECISION(decision);
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(decision);
    std::string address = requestAddress(action);

    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        // The menu has one window: a page allowed as a new window is shown
        // here instead, and its load is not asked about a second time.
        if (allowed(address, m_committedAddress)) {
            m_approvedAddress = address;
            webkit_web_view_load_request(m_view.get(), webkit_navigation_action_get_request(action));
        }
        webkit_policy_decision_ignore(policy);
        return true;
    }

    if (!m_warmUpAddress.empty() && address == m_warmUpAddress) {
        m_warmUpAddress.clear();
        webkit_policy_decision_use(policy);
        return true;
    }
    if (!m_approvedAddress.empty() && address == m_approvedAddress) {
        m_approvedAddress.clear();
        m_lastAllowedAddress = address;
        webkit_policy_decision_use(policy);
        return true;
    }

    std::string initiator;
    bool redirect = webkit_navigation_action_is_redirect(action);
    if (m_programNavigationPending && !redirect
        && webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_OTHER) {
        m_programNavigationPending = false;
    } else {
        // A server redirect comes from the address being loaded, not from the
        // page still shown.
        initiator = redirect ? m_lastAllowedAddress : m_committedAddress;
    }
    if (allowed(address, initiator)) {
        m_lastAllowedAddress = address;
        webkit_policy_decision_use(policy);
    } else {
        webkit_policy_decision_ignore(policy);
    }
    return true;
}

gboolean GtkContentView::handleDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer data)
{
    auto* self = static_cast<GtkContentView*>(data);
    switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
        return self->decideNavigation(WEBKIT_NAVIGATION_POLICY_DECISION(decision), type);
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
        // WebKit would download what it cannot show into the home folder; the
        // menu writes nothing, so such a response is dropped.
        if (!webkit_response_policy_decision_is_mime_type_supported(WEBKIT_RESPONSE_POLICY_DECISION(decision))) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

GtkWidget* GtkContentView::handleCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer data)
{
    // window.open() from a click. The menu never opens a second window; an
    // allowed page is shown in this one.
    auto* self = static_cast<GtkContentView*>(data);
    std::string address = requestAddress(action);
    if (self->allowed(address, self->m_committedAddress)) {
        self->m_approvedAddress = address;
        webkit_web_view_load_request(view, webkit_navigation_action_get_request(action));
    }
    return nullptr;
}

void GtkContentView::handleLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data)
{
    auto* self = static_cast<GtkContentView*>(data);
    if (event != WEBKIT_LOAD_COMMITTED)
        return;
    const gchar* uri = webkit_web_view_get_uri(view);
    self->m_committedAddress = uri ? uri : "";
    // Whatever committed first, the blank warm-up page has had its turn.
    self->m_warmUpAddress.clear();
}

gboolean GtkContentView::MouseHookProc(GtkWidget*, GdkEvent* event, gpointer)
{
    // Handled here, the event reaches neither the page nor the window behind
    // the view, so no shortcut menu shows over the page either.
    switch (event->type) {
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
        return event->button.button == GDK_BUTTON_SECONDARY;
    default:
        return FALSE;
    }
}

gboolean GtkContentView::handleContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer)
{
    return TRUE;
}

}
