#include "platform/gtk/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qvz::gtk {

namespace {

std::string readLink(const char* path)
{
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t length = readlink(path, buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

// The file that holds this very code, from the process's memory map. This
// code is linked into the executable, so that file is the program.
std::string fileMappedAt(uintptr_t address)
{
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return {};
    std::string found;
    char* line = nullptr;
    size_t capacity = 0;
    while (getline(&line, &capacity, maps) > 0) {
        unsigned long start = 0;
        unsigned long end = 0;
        int pathOffset = 0;
        if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &start, &end, &pathOffset) < 2 || pathOffset == 0)
            continue;
        if (address < start || address >= end)
            continue;
        std::string path(line + pathOffset);
        while (!path.empty() && (path.back() == '\n' || path.back() == ' '))
            path.pop_back();
        if (!path.empty() && path.front() == '/')
            found = path;
        break;
    }
    std::free(line);
    std::fclose(maps);
    return found;
}

}

std::string PosixFileSystem::executablePath()
{
    std::string path = readLink("/proc/self/exe");
    // Started through the dynamic loader ("ld-linux-x86-64.so.2 qvzmenu", as a
    // stick mounted without execute bits needs), /proc/self/exe names the
    // loader; the program file is then the one our code was mapped from.
    std::string mapped = fileMappedAt(reinterpret_cast<uintptr_t>(&fileMappedAt));
    if (!mapped.empty() && mapped != path)
        return mapped;
    return path;
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
