#pragma once
// A file system held in memory. Tests set the executable's path and the files
// beside it; the fake counts every read per path, so a test can check that a
// file is read again rather than remembered.

#include "platform/FileSystem.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace qvz::testing {

class FakeFileSystem final : public platform::FileSystem {
public:
    void setExecutablePath(std::string path) { m_executablePath = std::move(path); }

    // Creates the file or replaces its contents.
    void setFile(const std::string& path, std::string contents) { m_files[path] = std::move(contents); }

    // A file that exists but cannot be read, as one without read permission.
    void setUnreadableFile(const std::string& path) { m_files[path] = std::nullopt; }

    void removeFile(const std::string& path) { m_files.erase(path); }

    // A file whose contents change with every read: the function gets the
    // read's number, counting from 1. It shows which read saw which value.
    void setFileByRead(const std::string& path, std::function<std::string(int)> contents)
    {
        m_files[path] = std::string();
        m_contentsByRead[path] = std::move(contents);
    }

    // How often readFile() was asked for this path, whether or not it existed.
    int readCount(const std::string& path) const
    {
        auto found = m_readCounts.find(path);
        return found == m_readCounts.end() ? 0 : found->second;
    }

    std::string executablePath() override { return m_executablePath; }

    std::optional<std::string> readFile(const std::string& path) override
    {
        int readNumber = ++m_readCounts[path];
        if (auto byRead = m_contentsByRead.find(path); byRead != m_contentsByRead.end())
            return byRead->second(readNumber);
        auto found = m_files.find(path);
        if (found == m_files.end())
            return std::nullopt;
        return found->second;
    }

    // A missing file gives the POSIX reason ENOENT does, an unreadable one EACCES's.
    std::optional<std::string> readFileWithReason(const std::string& path, std::string& reason) override
    {
        auto contents = readFile(path);
        if (!contents)
            reason = m_files.contains(path) ? "Permission denied" : "No such file or directory";
        return contents;
    }

    bool fileExists(const std::string& path) override { return m_files.contains(path); }

private:
    std::string m_executablePath = "/menu/qvzmenu";
    // Nothing stored for a path means the file exists but is unreadable.
    std::map<std::string, std::optional<std::string>> m_files;
    std::map<std::string, int> m_readCounts;
    std::map<std::string, std::function<std::string(int)>> m_contentsByRead;
};

}
