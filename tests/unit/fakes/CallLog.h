#pragma once
// One ordered record of what the program asked of the fakes, shared by all of
// them so a test can check the sequence across the platform.

#include <string>
#include <vector>

namespace qvz::testing {

struct CallLog {
    std::vector<std::string> calls;
    void add(std::string call) { calls.push_back(std::move(call)); }
};

}
