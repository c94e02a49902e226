#include "startup/StandardErrorBox.h"

#include "startup/LaunchSettings.h"

#include <exception>

namespace qvz {

void StandardErrorBox::dispatch(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("Unknown error");
    }
}

void StandardErrorBox::report(const std::string& message) noexcept
{
    try {
        m_application.showErrorBox(m_title, errorBoxText(message));
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on.
    }
}

}
