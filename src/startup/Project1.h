#pragma once
// The program's entry: reads the launch settings, creates the main window,
// holds for the fixed pause and runs the event loop until the window closes.

#include "platform/Platform.h"

namespace qvz {

class Project1 {
public:
    explicit Project1(platform::Platform platform)
        : m_platform(platform)
    {
    }

    // Runs the whole start-up sequence and the event loop; returns the exit code.
    int run();

private:
    platform::Platform m_platform;
    bool m_splashShown = false;
};

}
