#include "platform/gtk/GtkApplication.h"

#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkSplashWindow.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cassert>
#include <utility>
#include <stdexcept>

namespace qvz::gtk {

namespace {

// Until the program installs its own sink, a failing handler is simply dropped.
class SilentSink final : public platform::EventSink {
public:
    void dispatch(const std::function<void()>& handler) noexcept override
    {
        try {
            handler();
        } catch (...) {
        }
    }
};

}

GtkApplication::GtkApplication(const std::string& programName)
{
    // The program name becomes the WM_CLASS and the name under which the
    // accessibility bus lists the program; GTK would otherwise take it from
    // argv[0], which we never pass.
    g_set_prgname(programName.c_str());
    if (!gtk_init_check(nullptr, nullptr))
        throw std::runtime_error("Cannot open display");
}

platform::EventSink& GtkApplication::events()
{
    static SilentSink silent;
    return m_sink ? *m_sink : silent;
}

void GtkApplication::initialize(const std::string& title)
{
    g_set_application_name(title.c_str());
}

std::unique_ptr<platform::MainWindow> GtkApplication::createMainWindow()
{
    auto window = std::make_unique<GtkMainWindow>(events());
    m_windowToWarmUp = window.get();
    return window;
}

std::unique_ptr<platform::SplashWindow> GtkApplication::createSplashWindow()
{
    return std::make_unique<GtkSplashWindow>(events());
}

void GtkApplication::sleepBlocking(int milliseconds)
{
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_flush(display);
    const gint64 end = g_get_monotonic_time() + gint64(std::max(milliseconds, 0)) * 1000;
    // The start-up pause handles no events and shows nothing new, so the
    // main window's slow preparation (the web engine) runs inside it rather
    // than before it. It runs no event loop either.
    if (GtkMainWindow* window = std::exchange(m_windowToWarmUp, nullptr))
        window->warmUp();
    const gint64 remaining = end - g_get_monotonic_time();
    if (remaining > 0)
        g_usleep(static_cast<gulong>(remaining));
}

void GtkApplication::run(platform::MainWindow& mainWindow)
{
    auto& window = dynamic_cast<GtkMainWindow&>(mainWindow);
    window.present();
    if (!window.destroyed())
        gtk_main();
}

void GtkApplication::showErrorBox(const std::string& title, const std::string& text)
{
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
        GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
}

}
