#pragma once
// The shell over GIO and GTK. See platform/Shell.h for what it supports.

#include "platform/Shell.h"

namespace qvz::gtk {

class GioShell final : public platform::Shell {
public:
    int execute(const std::string& verb, const std::string& target, const std::string& directory) override;
    void openWith(const std::string& target) override;
};

}
