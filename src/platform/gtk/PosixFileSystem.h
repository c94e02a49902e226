#pragma once
// Files through POSIX calls; the executable's path from /proc/self/exe.

#include "platform/FileSystem.h"

namespace qvz::gtk {

class PosixFileSystem final : public platform::FileSystem {
public:
    std::string executablePath() override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readFileWithReason(const std::string& path, std::string& reason) override;
    bool fileExists(const std::string& path) override;
};

}
