#include "platform/gtk/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qvz::gtk {

std::string PosixFileSystem::executablePath()
{
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> PosixFileSystem::readFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::string contents;
    contents.reserve(static_cast<size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t count = read(fd, chunk, sizeof chunk);
        if (count < 0) {
            close(fd);
            return std::nullopt;
        }
        if (count == 0)
            break;
        contents.append(chunk, static_cast<size_t>(count));
    }
    close(fd);
    return contents;
}

std::optional<std::string> PosixFileSystem::readFileWithReason(const std::string& path, std::string& reason)
{
    errno = 0;
    auto contents = readFile(path);
    if (!contents) {
        // readFile() leaves errno as the failing call set it; a folder or a
        // device opens fine, so it has none of its own.
        int error = errno != 0 ? errno : EISDIR;
        reason = std::strerror(error);
    }
    return contents;
}

bool PosixFileSystem::fileExists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}
