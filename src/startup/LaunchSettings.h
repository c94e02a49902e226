#pragma once
// The launch folder, the application title and the settings file autorun.inf.
//
// Everything that differs from one disc or folder to the next is configured in
// the "form" section of autorun.inf, which lies beside the executable. The
// program never writes that file and reads no other configuration source.
// Menus are authored for the Windows profile format, so the reader keeps that
// format's matching, trimming, quoting and length rules, and the integer syntax
// that menu authors rely on ("$8", "0x8").

#include "platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvz {

inline constexpr std::string_view kSettingsFileName = "autorun.inf";
inline constexpr std::string_view kFormSection = "form";

// The executable's folder with its trailing "/" ("/media/disc/start" gives
// "/media/disc/"). Every call asks for the executable's path again; the current
// directory plays no part.
std::string launchFolder(platform::FileSystem& fileSystem);

// Full path of autorun.inf in the launch folder.
std::string settingsPath(platform::FileSystem& fileSystem);

// The title used on the task-bar button and as the caption of error boxes: the
// executable's file name up to its first ".", every character after the first
// in lower case ("START.EXE" gives "Start"). Only ASCII letters change.
std::string applicationTitle(std::string_view executablePath);

// The text of the standard error box: the message with a "." appended when its
// last byte sorts after "." (so "Failed" gains one, "Failed!" does not).
std::string errorBoxText(std::string message);

// Converts a settings value to a signed 32-bit integer. Accepted: an optional
// sign and decimal digits within range; "$" or "0x"/"0X" and one to eight
// significant hexadecimal digits, taken as a 32-bit pattern ("$FFFFFFFF" is -1).
// A sign may precede the hexadecimal prefix and negates the pattern ("-$10" is
// -16). Nothing else is accepted: no blanks, no trailing characters.
std::optional<int32_t> parseInteger(std::string_view text);

// Looks a key up in the bytes of a profile (INI) file, with the profile
// format's rules: names match without regard to ASCII letter case; only the
// first section of a given name is read and the first of duplicate keys wins;
// the value is trimmed of blanks and loses one pair of enclosing quotes; it is
// returned as UTF-8 (a value that is not valid UTF-8 is read as Windows-1252)
// and cut to 2047 bytes at a character boundary. Comment lines start with ";".
// A NUL byte ends a line, like a line break, so no value ever holds one.
// Nothing when the section or key is absent; "" when the key has no value.
std::optional<std::string> findProfileValue(
    std::string_view fileBytes, std::string_view section, std::string_view key);

// The program's reader of autorun.inf, opened for one reading stage. Opening
// never fails and no read fails: a missing or unreadable file, section or key
// gives the default. Every read goes to the file again, so the reader keeps no
// copy that could go stale.
class SettingsReader {
public:
    SettingsReader(platform::FileSystem& fileSystem, std::string path);

    // The value as written; the default only when the key is absent.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // The value through parseInteger(); the default when the key is absent,
    // empty or not an integer.
    int32_t readInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;

    // True when the value read as an integer, with the default as 1 or 0, is
    // not 0. Words are not numbers: "true" and "yes" give the default.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

private:
    platform::FileSystem& m_fileSystem;
    std::string m_path;
};

}
