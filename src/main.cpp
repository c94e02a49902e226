#include "platform/gtk/GtkPlatform.h"
#include "startup/Project1.h"

#include <cstdio>
#include <exception>

int main()
{
    try {
        qvz::gtk::GtkPlatform platform;
        return qvz::Project1(platform.platform()).run();
    } catch (const std::exception& error) {
        // Only start-up before the event loop can get here; there is no
        // window left to report in.
        std::fprintf(stderr, "qvzmenu: %s\n", error.what());
        return 1;
    }
}
