#include "platform/gtk/GioShell.h"

#include "platform/gtk/GLibPtr.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace qvz::gtk {

namespace {

constexpr const char* kOpenVerb = "open";

// The target as a GFile when it names a local file (a path or a "file:"
// URI); null for any other address.
GObjectPtr<GFile> localFile(const std::string& target)
{
    if (target.starts_with('/'))
        return GObjectPtr<GFile>(g_file_new_for_path(target.c_str()));
    GCharPtr scheme(g_uri_parse_scheme(target.c_str()));
    if (!scheme || g_ascii_strcasecmp(scheme.get(), "file") != 0)
        return nullptr;
    // A query or fragment ("page.htm?x=1") is not part of the file's name;
    // a "?" or "#" inside a name is always escaped in a URI.
    std::string withoutQuery = target.substr(0, target.find_first_of("?#"));
    GCharPtr path(g_filename_from_uri(withoutQuery.c_str(), nullptr, nullptr));
    if (!path)
        return nullptr;
    return GObjectPtr<GFile>(g_file_new_for_path(path.get()));
}

// An ELF program, or a script that names its interpreter, with the execute
// bit: started rather than opened. A document that merely carries the bit
// (every file on a FAT stick does) is opened with its handler.
bool isExecutable(const char* path)
{
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode) || access(path, X_OK) != 0)
        return false;
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    std::array<char, 4> head {};
    ssize_t count = read(descriptor, head.data(), head.size());
    close(descriptor);
    if (count >= 4 && std::memcmp(head.data(), "\x7f" "ELF", 4) == 0)
        return true;
    return count >= 2 && head[0] == '#' && head[1] == '!';
}

GObjectPtr<GAppLaunchContext> launchContext()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return nullptr;
    return GObjectPtr<GAppLaunchContext>(G_APP_LAUNCH_CONTEXT(gdk_display_get_app_launch_context(display)));
}

void launchFinished(GObject*, GAsyncResult* result, gpointer)
{
    // Failures of the handler itself are not reported; the menu stays as it is.
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri_finish(result, &error))
        g_error_free(error);
}

void launchDefault(const char* uri)
{
    auto context = launchContext();
    g_app_info_launch_default_for_uri_async(uri, context.get(), nullptr, launchFinished, nullptr);
}

void handlerFinished(GObject* handler, GAsyncResult* result, gpointer)
{
    GError* error = nullptr;
    if (!g_app_info_launch_uris_finish(G_APP_INFO(handler), result, &error))
        g_error_free(error);
}

// Opens the address with a handler already chosen for its file. GIO would
// look the handler up again from the address, which fails for an address
// carrying a query or a fragment, although the handler takes it.
void launchWith(GAppInfo* handler, const std::string& uri)
{
    auto context = launchContext();
    GList uris { const_cast<char*>(uri.c_str()), nullptr, nullptr };
    g_app_info_launch_uris_async(handler, &uris, context.get(), nullptr, handlerFinished, nullptr);
}

int openLocalFile(GFile* file, const std::string& target, const std::string& directory)
{
    GCharPtr path(g_file_get_path(file));
    if (!path)
        return platform::kShellFileNotFound;
    if (isExecutable(path.get())) {
        std::array<gchar*, 2> argv { path.get(), nullptr };
        const gchar* folder = directory.empty() ? nullptr : directory.c_str();
        GError* error = nullptr;
        // Without G_SPAWN_DO_NOT_REAP_CHILD, GLib detaches the child so that
        // nobody has to wait for it.
        if (!g_spawn_async(folder, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, &error)) {
            g_error_free(error);
            return platform::kShellAccessDenied;
        }
        return platform::kShellStarted;
    }

    GError* error = nullptr;
    GObjectPtr<GFileInfo> info(g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
        G_FILE_QUERY_INFO_NONE, nullptr, &error));
    if (!info) {
        g_error_free(error);
        return platform::kShellFileNotFound;
    }
    const char* contentType = g_file_info_get_content_type(info.get());
    GObjectPtr<GAppInfo> handler(contentType ? g_app_info_get_default_for_type(contentType, FALSE) : nullptr);
    if (!handler)
        return platform::kShellNoAssociation;
    if (target.starts_with('/')) {
        GCharPtr uri(g_file_get_uri(file));
        launchWith(handler.get(), uri.get());
    } else {
        launchWith(handler.get(), target);
    }
    return platform::kShellStarted;
}

int openAddress(const std::string& address)
{
    GCharPtr scheme(g_uri_parse_scheme(address.c_str()));
    if (!scheme)
        return platform::kShellFileNotFound;
    GObjectPtr<GAppInfo> handler(g_app_info_get_default_for_uri_scheme(scheme.get()));
    if (!handler)
        return platform::kShellNoAssociation;
    launchDefault(address.c_str());
    return platform::kShellStarted;
}

void handleOpenWithResponse(GtkDialog* dialog, gint response, gpointer data)
{
    auto* file = static_cast<GFile*>(data);
    if (response == GTK_RESPONSE_OK) {
        GObjectPtr<GAppInfo> chosen(gtk_app_chooser_get_app_info(GTK_APP_CHOOSER(dialog)));
        if (chosen) {
            GList files { file, nullptr, nullptr };
            auto context = launchContext();
            GError* error = nullptr;
            if (!g_app_info_launch(chosen.get(), &files, context.get(), &error))
                g_error_free(error);
        }
    }
    gtk_widget_destroy(GTK_WIDGET(dialog));
}

}

int GioShell::execute(const std::string& verb, const std::string& target, const std::string& directory)
{
    if (verb != kOpenVerb)
        return platform::kShellAccessDenied;
    if (auto file = localFile(target))
        return openLocalFile(file.get(), target, directory);
    return openAddress(target);
}

void GioShell::openWith(const std::string& target)
{
    auto file = localFile(target);
    if (!file)
        return;
    // The dialogue works out the file's content type itself and lists the
    // programs that say they open it, with a way to find others.
    GtkWidget* dialog = gtk_app_chooser_dialog_new(nullptr, GtkDialogFlags(0), file.get());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    // The dialog holds the file until it goes.
    g_signal_connect_data(dialog, "response", G_CALLBACK(handleOpenWithResponse), file.release(),
        [](gpointer data, GClosure*) { g_object_unref(data); }, GConnectFlags(0));
    gtk_widget_show(dialog);
}

}
