#pragma once
// The main window as a GTK top-level window.
//
// Implemented: title, fixed client size, centring on the box spanning all
// monitors when first shown, the event loop ends when the window is destroyed.
// The window manager's decorations are replaced by the skinned frame
// (GtkSkinnedFrame); the window's outer size is its client size. Maximising
// once shown goes through the window manager, so it needs one (EWMH).

#include "platform/EventSink.h"
#include "platform/Window.h"
#include "platform/gtk/GtkSkinnedFrame.h"
#include "platform/gtk/GtkContentView.h"
#include "platform/gtk/GtkPopupMenu.h"
#include "platform/gtk/GstMediaPlayer.h"

#include <gtk/gtk.h>

#include <memory>

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
    void setOuterSize(int width, int height) override;
    void maximizeWhenShown() override { m_maximizeWhenShown = true; }
    void setFrameLook(const platform::FrameLook& look) override { m_frame->setLook(look); }
    void setStatusLook(const platform::FrameLook& look) override { m_frame->setStatusLook(look); }
    void setFrameLayout(const platform::FrameLayout& layout) override { m_frame->setLayout(layout); }

    // The container between the title bar and the status strip that holds the
    // content view; it follows the window's size, maximised included.
    GtkWidget* contentSlot() { return m_frame->contentSlot(); }
    platform::ContentView& contentView() override { return m_contentView; }
    platform::PopupMenu& popupMenu() override { return m_popupMenu; }
    void close() override;

    // Heavy preparation that can wait for the start-up pause.
    void warmUp() { m_contentView.warmUp(); }

    // Centres the window on the desktop and shows it.
    void present();
    bool destroyed() const { return m_window == nullptr; }

    GtkWidget* widget() { return m_window; }

private:
    static void handleDestroy(GtkWidget*, gpointer self);
    static void handleShow(GtkWidget*, gpointer self);
    static gboolean handleMapped(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean handleButtonPress(GtkWidget*, GdkEventButton*, gpointer self);

    platform::EventSink& m_events;
    GtkWidget* m_window = nullptr; // owned by GTK's list of top-levels while it lives
    GtkWidget* m_body = nullptr;
    std::unique_ptr<GtkSkinnedFrame> m_frame;
    GtkCheckBox m_soundBox;
    GstMediaPlayer m_mediaPlayer;
    std::function<void()> m_destroyedHandler;
    std::function<void()> m_shownHandler;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    bool m_maximizeWhenShown = false;
    bool m_mappedOnce = false;
    GtkContentView m_contentView;
    GtkPopupMenu m_popupMenu;
};

// The rectangle that spans every monitor of the default display.
GdkRectangle desktopBox();

}
