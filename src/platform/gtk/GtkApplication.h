#pragma once
// GTK 3 application object.
//
// Implemented: initialisation without reading the command line, the main
// window, the blocking pause (the display is flushed first so windows stay as
// last painted), the event loop, the modal error box.

#include "platform/Application.h"

namespace qvz::gtk {

class GtkMainWindow;

class GtkApplication final : public platform::Application {
public:
    // Opens the display; throws when there is none.
    explicit GtkApplication(const std::string& programName);

    void setEventSink(platform::EventSink& sink) override { m_sink = &sink; }
    void initialize(const std::string& title) override;
    std::unique_ptr<platform::MainWindow> createMainWindow() override;
    std::unique_ptr<platform::SplashWindow> createSplashWindow() override;
    void sleepBlocking(int milliseconds) override;
    void run(platform::MainWindow& mainWindow) override;
    void showErrorBox(const std::string& title, const std::string& text) override;

    platform::EventSink& events();

private:
    platform::EventSink* m_sink = nullptr;
    // The main window, until its preparation has run in the start-up pause.
    GtkMainWindow* m_windowToWarmUp = nullptr;
};

}
