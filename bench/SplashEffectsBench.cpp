// Shows the splash at 640 x 480 with each effect and prints the frames drawn
// per second and the real duration against the one asked for. Needs a display
// (run it through bench/splash-bench.sh, which brings its own).

#include "platform/gtk/GtkApplication.h"
#include "platform/gtk/GtkSplashWindow.h"
#include "startup/JpegPicture.h"
#include "startup/Splash.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    int duration = argc > 1 ? std::atoi(argv[1]) : 2000;
    qvz::gtk::GtkApplication application("qvz-bench");
    const char* names[] = { "none", "Alpha", "Blocks", "Drip", "Fuse", "Inter", "Roll", "Water", "Wipe" };
    std::printf("%-8s %8s %8s %12s %12s\n", "effect", "frames", "fps", "real ms", "asked ms");
    for (int effect = 0; effect < 9; ++effect) {
        qvz::gtk::GtkSplashWindow splash(application.events());
        splash.setWidth(640);
        splash.setHeight(480);
        splash.setPicture(qvz::decodeJpeg(qvz::resources::kBuiltinSplashPicture, 640, 480));
        splash.setTransition(static_cast<qvz::platform::RevealEffect>(effect));
        splash.setTransitionDuration(duration);
        splash.show();
        auto figures = splash.lastShow();
        double milliseconds = static_cast<double>(figures.revealMicroseconds) / 1000.0;
        double fps = milliseconds > 0 ? figures.frames * 1000.0 / milliseconds : 0.0;
        std::printf("%-8s %8d %8.1f %12.1f %12d\n", names[effect], figures.frames, fps, milliseconds, duration);
        splash.hide();
    }
    return 0;
}
