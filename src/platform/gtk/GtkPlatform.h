#pragma once
// The real backends, bundled for main().

#include "platform/Platform.h"
#include "platform/gtk/GioShell.h"
#include "platform/gtk/GtkApplication.h"
#include "platform/gtk/PosixFileSystem.h"

namespace qvz::gtk {

class GtkPlatform {
public:
    GtkPlatform();

    platform::Platform platform() { return { m_files, m_application, m_shell }; }

private:
    PosixFileSystem m_files;
    GtkApplication m_application;
    GioShell m_shell;
};

}
