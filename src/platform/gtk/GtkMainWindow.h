#pragma once
// The main window as a GTK top-level window.
//
// Implemented: title, fixed client size, centring on the box spanning all
// monitors when first shown, the event loop ends when the window is destroyed.

#include "platform/EventSink.h"
#include "platform/Window.h"
#include "platform/gtk/GstMediaPlayer.h"

#include <gtk/gtk.h>

namespace qvz::gtk {

class GtkCheckBox final : public platform::CheckBox {
public:
    GtkCheckBox(platform::EventSink& events, const char* caption, bool checked);
    ~GtkCheckBox() override;

    void setVisible(bool visible) override;
    bool checked() const override;
    void onClick(std::function<void()> handler) override { m_clickHandler = std::move(handler); }

    GtkWidget* widget() { return m_widget; }

private:
    static void handleToggled(GtkToggleButton*, gpointer self);

    platform::EventSink& m_events;
    GtkWidget* m_widget; // one reference of ours, beside its parent's
    std::function<void()> m_clickHandler;
};

class GtkMainWindow final : public platform::MainWindow {
public:
    explicit GtkMainWindow(platform::EventSink& events);
    ~GtkMainWindow() override;

    void setTitle(const std::string& title) override;
    void setClientSize(int width, int height) override;
    platform::CheckBox& soundBox() override { return m_soundBox; }
    platform::MediaPlayer& mediaPlayer() override { return m_mediaPlayer; }
    void onDestroyed(std::function<void()> handler) override { m_destroyedHandler = std::move(handler); }
    void onShown(std::function<void()> handler) override { m_shownHandler = std::move(handler); }

    // Centres the window on the desktop and shows it.
    void present();
    bool destroyed() const { return m_window == nullptr; }

    GtkWidget* widget() { return m_window; }

private:
    static void handleDestroy(GtkWidget*, gpointer self);
    static void handleShow(GtkWidget*, gpointer self);

    platform::EventSink& m_events;
    GtkWidget* m_window = nullptr; // owned by GTK's list of top-levels while it lives
    GtkWidget* m_body = nullptr;
    GtkCheckBox m_soundBox;
    GstMediaPlayer m_mediaPlayer;
    std::function<void()> m_destroyedHandler;
    std::function<void()> m_shownHandler;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
};

// The rectangle that spans every monitor of the default display.
GdkRectangle desktopBox();

}
