#pragma once
// The program's event door: runs a handler and, when it throws, shows the
// standard error box (error icon, the application title as caption, the
// exception's text with a full stop added where it needs one). The program
// then carries on with the next event.

#include "platform/Application.h"
#include "platform/EventSink.h"

#include <string>

namespace qvz {

class StandardErrorBox final : public platform::EventSink {
public:
    StandardErrorBox(platform::Application& application, std::string title)
        : m_application(application)
        , m_title(std::move(title))
    {
    }

    void dispatch(const std::function<void()>& handler) noexcept override;

    // Shows the box for a message, as dispatch() does for a caught exception.
    void report(const std::string& message) noexcept;

private:
    platform::Application& m_application;
    std::string m_title;
};

}
