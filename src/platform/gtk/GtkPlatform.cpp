#include "platform/gtk/GtkPlatform.h"

namespace qvz::gtk {

namespace {
std::string fileName(const std::string& path)
{
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}

GtkPlatform::GtkPlatform()
    : m_application(fileName(m_files.executablePath()))
{
}

}
