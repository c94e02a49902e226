#pragma once
// Access to the files beside the executable.
//
// Implemented (gtk/PosixFileSystem): the executable's path from /proc/self/exe,
// whole-file reads, existence checks. Nothing is ever written.

#include <optional>
#include <string>

namespace qvz::platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Full path of the running executable, as the kernel reports it.
    virtual std::string executablePath() = 0;

    // The file's bytes, or nothing when it is missing, a folder or unreadable.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;

    // The file's bytes as readFile() gives them; when there are none, `reason`
    // receives the system's explanation ("No such file or directory").
    virtual std::optional<std::string> readFileWithReason(const std::string& path, std::string& reason) = 0;

    // True when a regular file (or a link to one) exists at the path.
    virtual bool fileExists(const std::string& path) = 0;
};

}
