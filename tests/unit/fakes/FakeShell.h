#pragma once
// A shell that records what it was asked to open and answers with a result
// code chosen by the test.

#include "fakes/CallLog.h"
#include "platform/Shell.h"

namespace qvz::testing {

class FakeShell final : public platform::Shell {
public:
    explicit FakeShell(CallLog& log)
        : m_log(log)
    {
    }

    int execute(const std::string& verb, const std::string& target, const std::string& directory) override
    {
        m_log.add("shell.execute " + verb + " " + target + " in " + (directory.empty() ? "(none)" : directory));
        return result;
    }
    void openWith(const std::string& target) override { m_log.add("shell.openWith " + target); }

    int result = platform::kShellStarted;

private:
    CallLog& m_log;
};

}
