/* The floor for our design: a bare GTK 3 window with a WebKitGTK view, on an
 * ephemeral data manager and without GL compositing like the launcher, loading
 * the page given as the only argument. Closing it ends the program. */
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

static void on_destroy(GtkWidget *widget, gpointer data)
{
    (void)widget;
    (void)data;
    gtk_main_quit();
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        g_printerr("usage: %s FILE.htm\n", argv[0]);
        return 2;
    }
    gtk_init(&argc, &argv);

    WebKitWebsiteDataManager *data = webkit_website_data_manager_new_ephemeral();
    WebKitWebContext *context = webkit_web_context_new_with_website_data_manager(data);
    GtkWidget *view = webkit_web_view_new_with_context(context);
    WebKitSettings *settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view));
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);

    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "bare");
    gtk_window_set_default_size(GTK_WINDOW(window), 672, 489);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), NULL);

    GFile *page = g_file_new_for_commandline_arg(argv[1]);
    gchar *uri = g_file_get_uri(page);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
    g_free(uri);
    g_object_unref(page);

    gtk_widget_show_all(window);
    gtk_main();

    g_object_unref(context);
    g_object_unref(data);
    return 0;
}
