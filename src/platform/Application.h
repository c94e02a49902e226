#pragma once
// The application object: event loop, top-level windows, the blocking pause and
// the standard error box.
//
// Implemented (gtk/GtkApplication): GTK 3 initialisation, a modal
// GtkMessageDialog with the error icon, a pause that handles no events.

#include "platform/EventSink.h"
#include "platform/SplashWindow.h"
#include "platform/Window.h"

#include <memory>
#include <string>

namespace qvz::platform {

class Application {
public:
    virtual ~Application() = default;

    // Every native callback from now on enters the program through this sink.
    virtual void setEventSink(EventSink& sink) = 0;

    // Prepares the application object; title is used for error boxes and the
    // task bar.
    virtual void initialize(const std::string& title) = 0;

    // Creates the main window hidden. run() shows it.
    virtual std::unique_ptr<MainWindow> createMainWindow() = 0;

    // Creates the splash window hidden.
    virtual std::unique_ptr<SplashWindow> createSplashWindow() = 0;

    // Blocks the calling thread; no event is handled meanwhile.
    virtual void sleepBlocking(int milliseconds) = 0;

    // Shows the main window and handles events until it is closed.
    virtual void run(MainWindow& mainWindow) = 0;

    // Modal error box; returns once the user has dismissed it.
    virtual void showErrorBox(const std::string& title, const std::string& text) = 0;
};

}
