#pragma once
// The desktop's shell: opening files and addresses with the programs the
// desktop associates with them.
//
// Implemented (gtk/GioShell): the verb "open". A local executable (an ELF
// program, or a script starting with "#!", with its execute bit) is started in
// the given folder; any other local file or address goes to its default
// handler through GIO, launched without waiting for it. The Open With dialogue
// is GTK's application chooser for the file's content type.
// Missing: other verbs (they fail with ShellAccessDenied).

#include <string>

namespace qvz::platform {

// Result codes of Shell::execute, shaped after the classic shell's: 32 and
// below are failures.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellStarted = 42;

class Shell {
public:
    virtual ~Shell() = default;

    // Opens a file (a path or a "file:" URI) or an address with `verb`. An
    // executable is started with `directory` as its working folder. Returns
    // once the target has been started or has failed to start, never when it
    // ends.
    virtual int execute(const std::string& verb, const std::string& target, const std::string& directory) = 0;

    // Brings up the Open With dialogue for a local file and returns at once;
    // the program the user picks opens the file.
    virtual void openWith(const std::string& target) = 0;
};

}
