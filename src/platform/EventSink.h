#pragma once
// The one door through which every event from the windowing system, the web
// view and the media framework enters the program. Backends call dispatch()
// from each native callback; the program's implementation catches whatever the
// handler throws and reports it, so no exception ever unwinds through C code.

#include <functional>

namespace qvz::platform {

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void dispatch(const std::function<void()>& handler) noexcept = 0;
};

}
