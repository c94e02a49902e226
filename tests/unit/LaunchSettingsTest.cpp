#include "startup/LaunchSettings.h"

#include "fakes/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>

using namespace std::literals;
using qvz::findProfileValue;
using qvz::testing::FakeFileSystem;

namespace {

constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();
constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();

std::string repeated(std::string_view piece, size_t count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

// The value of key "v" when the file's "form" section holds v=<rawValue>.
std::optional<std::string> formValue(const std::string& rawValue)
{
    return findProfileValue("[form]\nv=" + rawValue + "\n", "form", "v");
}

TEST(LaunchFolder, IsTheExecutablesFolderWithItsSeparator)
{
    struct Row {
        const char* name;
        std::string executablePath;
        std::string folder;
        std::string settingsFile;
    };
    const Row rows[] = {
        { "folder on a medium", "/media/disc/start", "/media/disc/", "/media/disc/autorun.inf" },
        { "executable at the root", "/start", "/", "/autorun.inf" },
        { "dots in folder names", "/media/my.disc/start.bin", "/media/my.disc/", "/media/my.disc/autorun.inf" },
        { "no folder at all", "start", "", "autorun.inf" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeFileSystem files;
        files.setExecutablePath(row.executablePath);
        EXPECT_EQ(qvz::launchFolder(files), row.folder);
        EXPECT_EQ(qvz::settingsPath(files), row.settingsFile);
    }
}

TEST(LaunchFolder, FollowsTheExecutablePathOnEveryCall)
{
    FakeFileSystem files;
    files.setExecutablePath("/media/first/start");
    EXPECT_EQ(qvz::launchFolder(files), "/media/first/");
    files.setExecutablePath("/media/second/start");
    EXPECT_EQ(qvz::launchFolder(files), "/media/second/");
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstDotWithTheRestInLowerCase)
{
    struct Row {
        const char* name;
        std::string_view executablePath;
        std::string_view title;
    };
    const Row rows[] = {
        { "capitals after the first letter are lowered", "/media/x/START.EXE", "Start" },
        { "the first letter keeps its case", "/a/qvzmenu", "qvzmenu" },
        { "a capital first letter stays", "/a/Qvzmenu", "Qvzmenu" },
        { "the name ends at its first dot", "/a/my.menu.bin", "my" },
        { "dots in folder names play no part", "/a.b/MENU", "Menu" },
        { "non-ASCII letters are left alone", "/a/ÄRGER.bin", "Ärger" },
        { "a name starting with a dot gives nothing", "/a/.hidden", "" },
        { "a bare file name", "START", "Start" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(qvz::applicationTitle(row.executablePath), row.title);
    }
}

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    struct Row {
        const char* name;
        std::string message;
        std::string text;
    };
    const Row rows[] = {
        { "ends with a full stop", "Cannot open file.", "Cannot open file." },
        { "ends with an exclamation mark, which sorts before", "Cannot open file!", "Cannot open file!" },
        { "ends with a closing parenthesis, which sorts before", "Cannot open (x)", "Cannot open (x)" },
        { "ends with a hyphen, which sorts before", "Cannot open -", "Cannot open -" },
        { "ends with a letter", "Cannot open file", "Cannot open file." },
        { "ends with a digit", "Error 404", "Error 404." },
        { "ends with a slash, which sorts after", "Cannot open /media/", "Cannot open /media/." },
        { "ends with a UTF-8 byte", "Datei fehlt: ö", "Datei fehlt: ö." },
        { "empty message stays empty", "", "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(qvz::errorBoxText(row.message), row.text);
    }
}

TEST(ParseInteger, AcceptsSignedDecimalAndHexadecimalOnly)
{
    struct Row {
        const char* name;
        std::string_view text;
        std::optional<int32_t> value;
    };
    const Row rows[] = {
        { "zero", "0", 0 },
        { "plain digits", "8", 8 },
        { "plus sign", "+8", 8 },
        { "minus sign", "-8", -8 },
        { "negative zero", "-0", 0 },
        { "leading zeros", "0012", 12 },
        { "many leading zeros are not an overflow", "000000000000000000001", 1 },
        { "largest value", "2147483647", kMaxInt },
        { "smallest value", "-2147483648", kMinInt },
        { "one above the range", "2147483648", std::nullopt },
        { "one below the range", "-2147483649", std::nullopt },
        { "far out of range", "99999999999999999999", std::nullopt },
        { "empty", "", std::nullopt },
        { "sign alone", "-", std::nullopt },
        { "plus alone", "+", std::nullopt },
        { "trailing letter", "8a", std::nullopt },
        { "leading letter", "a8", std::nullopt },
        { "leading blank", " 8", std::nullopt },
        { "trailing blank", "8 ", std::nullopt },
        { "two signs", "+-8", std::nullopt },
        { "exponent", "1e3", std::nullopt },
        { "decimal point", "8.0", std::nullopt },
        { "thousands separator", "1,000", std::nullopt },
        { "trailing NUL", "8\0"sv, std::nullopt },
        { "dollar hexadecimal", "$8", 8 },
        { "lower-case hex digits", "$ff", 255 },
        { "upper-case hex digits", "$FF", 255 },
        { "largest positive pattern", "$7FFFFFFF", kMaxInt },
        { "sign bit pattern", "$80000000", kMinInt },
        { "all bits set is minus one", "$FFFFFFFF", -1 },
        { "leading zeros are not significant digits", "$000000010", 16 },
        { "nine significant hex digits overflow", "$100000000", std::nullopt },
        { "dollar alone", "$", std::nullopt },
        { "dollar with a non-hex digit", "$g", std::nullopt },
        { "sign after the dollar", "$-1", std::nullopt },
        { "blank after the dollar", "$ 8", std::nullopt },
        { "0x prefix", "0x8", 8 },
        { "0X prefix", "0X8", 8 },
        { "0x with two digits", "0x1F", 31 },
        { "0x with all bits set", "0xFFFFFFFF", -1 },
        { "0x alone", "0x", std::nullopt },
        { "0X alone", "0X", std::nullopt },
        { "0x twice", "0x0x8", std::nullopt },
        { "0x with a non-hex digit", "0xg", std::nullopt },
        { "x without the zero", "x8", std::nullopt },
        { "two zeros before the x", "00x8", std::nullopt },
        // A sign before the hexadecimal prefix is accepted and negates the
        // 32-bit pattern, so "-$10" and "-0x10" mean -16.
        { "minus before dollar", "-$10", -16 },
        { "plus before dollar", "+$10", 16 },
        { "minus before 0x", "-0x10", -16 },
        { "minus before the sign bit pattern", "-$80000000", kMinInt },
        { "minus before all bits set", "-$FFFFFFFF", 1 },
        { "minus before 0x alone", "-0x", std::nullopt },
        { "minus before dollar alone", "-$", std::nullopt },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(qvz::parseInteger(row.text), row.value);
    }
}

TEST(FindProfileValue, MatchesSectionsAndKeysByTheProfileRules)
{
    struct Row {
        const char* name;
        std::string_view file;
        std::string_view section;
        std::string_view key;
        std::optional<std::string> value;
    };
    const Row rows[] = {
        { "names in the file in other case", "[FORM]\nusesplash=1\n", "form", "UseSplash", "1" },
        { "names asked in other case", "[form]\nCaption=x\n", "FORM", "CAPTION", "x" },
        { "blanks inside the section brackets", "[ form\t]\nCaption=x\n", "form", "Caption", "x" },
        { "blanks around the key name", "[form]\n  Caption \t= x\n", "form", "Caption", "x" },
        { "indented section header", "  [form]\nCaption=x", "form", "Caption", "x" },
        { "text after the closing bracket", "[form] ; menu\nCaption=x\n", "form", "Caption", "x" },
        { "header without a closing bracket", "[form\nCaption=x\n", "form", "Caption", "x" },
        { "longer section name", "[forms]\nCaption=x\n", "form", "Caption", std::nullopt },
        { "longer key name", "[form]\nCaptions=x\nCaption=y\n", "form", "Caption", "y" },
        { "key before any section", "Caption=x\n[form]\n", "form", "Caption", std::nullopt },
        { "key in another section", "[autorun]\nCaption=x\n[form]\nsize=y\n", "form", "Caption", std::nullopt },
        { "section absent", "[autorun]\nopen=start\n", "form", "Caption", std::nullopt },
        { "key absent", "[form]\nsize=Custorm\n", "form", "Caption", std::nullopt },
        { "key without value", "[form]\nCaption=\n", "form", "Caption", "" },
        { "key with blanks only", "[form]\nCaption= \t \n", "form", "Caption", "" },
        { "first of duplicate keys", "[form]\nCaption=a\nCaption=b\n", "form", "Caption", "a" },
        { "repeat of the section is not read", "[form]\nsize=a\n[other]\n[form]\nCaption=b\n", "form", "Caption", std::nullopt },
        { "comment line is no key", "[form]\n;Caption=a\n", "form", ";Caption", std::nullopt },
        { "indented comment line is no key", "[form]\n \t; Caption=a\n", "form", "; Caption", std::nullopt },
        { "commented section header", "[form]\n;[other]\nCaption=b\n", "form", "Caption", "b" },
        { "hash starts no comment", "[form]\n#Caption=a\n", "form", "#Caption", "a" },
        { "semicolon inside the value", "[form]\nCaption=a ; b\n", "form", "Caption", "a ; b" },
        { "equals signs after the first", "[form]\nCaption=a=b\n", "form", "Caption", "a=b" },
        { "line without equals sign", "[form]\nCaption\nCaption=b\n", "form", "Caption", "b" },
        { "CRLF line ends", "[form]\r\nsize=a\r\nCaption=x\r\n", "form", "Caption", "x" },
        { "lone CR line ends", "[form]\rsize=a\rCaption=x\r", "form", "Caption", "x" },
        { "mixed line ends", "[form]\r\nsize=a\rCaption=x\n", "form", "Caption", "x" },
        { "byte order mark at the start", "\xEF\xBB\xBF[form]\nCaption=x\n", "form", "Caption", "x" },
        { "byte order mark later is part of the name", "[form]\n\xEF\xBB\xBF"
                                                       "Caption=x\n",
            "form", "Caption", std::nullopt },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(findProfileValue(row.file, row.section, row.key), row.value);
    }
}

TEST(FindProfileValue, TrimsBlanksAndOnePairOfEnclosingQuotes)
{
    struct Row {
        const char* name;
        std::string raw;
        std::string value;
    };
    const Row rows[] = {
        { "blanks at both ends", "  a b  ", "a b" },
        { "tabs and vertical tabs are blanks", "\t\va\t\v", "a" },
        { "double quotes", "\"a\"", "a" },
        { "single quotes", "'a'", "a" },
        { "blanks inside quotes stay", "\" a \"", " a " },
        { "quotes inside blanks", "  'a'  ", "a" },
        { "mismatched quotes stay", "\"a'", "\"a'" },
        { "only the outer pair goes", "\"'a'\"", "'a'" },
        { "lone quote stays", "\"", "\"" },
        { "empty quotes", "''", "" },
        { "opening quote only", "\"a", "\"a" },
        { "quotes not enclosing", "a \"b\"", "a \"b\"" },
        { "letter case as written", "fullscreen", "fullscreen" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formValue(row.raw), row.value);
    }
}

TEST(FindProfileValue, CutsValuesTo2047BytesAtACharacterBoundary)
{
    struct Row {
        const char* name;
        std::string raw;
        std::string value;
    };
    const Row rows[] = {
        { "3000 characters", std::string(3000, 'x'), std::string(2047, 'x') },
        { "2048 characters", std::string(2048, 'x'), std::string(2047, 'x') },
        { "exactly 2047 characters", std::string(2047, 'x'), std::string(2047, 'x') },
        { "quotes go before the cut", "\"" + std::string(3000, 'x') + "\"", std::string(2047, 'x') },
        { "cut inside a two-byte character", repeated("é", 1500), repeated("é", 1023) },
        { "cut inside a three-byte character", "ab" + repeated("€", 1000), "ab" + repeated("€", 681) },
        { "converted Windows-1252 text", std::string(3000, '\xE9'), repeated("é", 1023) },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formValue(row.raw), row.value);
    }
}

TEST(FindProfileValue, ReadsValuesThatAreNotUtf8AsWindows1252)
{
    struct Row {
        const char* name;
        std::string raw;
        std::string value;
    };
    const Row rows[] = {
        { "UTF-8 stays", "Größe", "Größe" },
        { "four-byte UTF-8 stays", "\xF0\x9F\x8E\xB5", "\xF0\x9F\x8E\xB5" },
        { "Windows-1252 letters", "Gr\xF6\xDF"
                                  "e",
            "Größe" },
        { "euro sign", "\x80", "€" },
        { "typographic quotes", "\x93x\x94", "“x”" },
        { "last byte of the 0x80 block", "\x9F", "Ÿ" },
        { "undefined code points keep their value", "\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D" },
        { "upper half", "\xA0\xFF", "\u00A0ÿ" },
        { "one stray byte converts the whole value", "é \xE9", "Ã© é" },
        { "overlong two-byte form is not UTF-8", "\xC0\xAF", "À¯" },
        { "overlong three-byte form is not UTF-8", "\xE0\x80\xAF", "à€¯" },
        { "overlong four-byte form is not UTF-8", "\xF0\x80\x80\xAF", "ð€€¯" },
        { "surrogate is not UTF-8", "\xED\xA0\x80", "í\u00A0€" },
        { "beyond U+10FFFF is not UTF-8", "\xF4\x90\x80\x80", "ô\u0090€€" },
        { "truncated sequence", "a\xC3", "aÃ" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(formValue(row.raw), row.value);
    }
}

TEST(FindProfileValue, SurvivesNulBytesGarbageAndLongLines)
{
    std::mt19937 generator(20240601);
    std::string garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += static_cast<char>(generator() & 0xFF);

    struct Row {
        const char* name;
        std::string file;
        std::optional<std::string> value;
    };
    const Row rows[] = {
        { "NUL ends a line", std::string("[form]\0Caption=x"sv), "x" },
        { "NUL ends a value", std::string("[form]\nCaption=a\0b\n"sv), "a" },
        { "NUL splits a section name", std::string("[fo\0rm]\nCaption=x\n"sv), std::nullopt },
        { "only NUL bytes", std::string(1000, '\0'), std::nullopt },
        { "binary garbage before the settings", garbage + "\n[form]\nCaption=ok\n", "ok" },
        { "binary garbage alone", garbage, std::nullopt },
        { "100,000-character line before the key", "[form]\n" + std::string(100000, 'x') + "\nCaption=ok\n", "ok" },
        { "100,000-character key line", "[form]\n" + std::string(100000, 'k') + "=v\nCaption=ok\n", "ok" },
        { "100,000-character value", "[form]\nCaption=" + std::string(100000, 'y'), std::string(2047, 'y') },
        { "100,000 blanks before the value", "[form]\nCaption=" + std::string(100000, ' ') + "v", "v" },
        { "100,000-character section name", "[" + std::string(100000, 's') + "]\nCaption=x\n", std::nullopt },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(findProfileValue(row.file, "form", "Caption"), row.value);
    }
}

TEST(FindProfileValue, ReadsAFiftyMegabyteFile)
{
    std::string file = "[form]\r\n";
    while (file.size() < (50u << 20))
        file += "filler=a line of the kind a generated settings file could hold\r\n";
    file += "Caption=Found\r\n[other]\r\n";
    EXPECT_EQ(findProfileValue(file, "form", "Caption"), "Found");
    EXPECT_EQ(findProfileValue(file, "form", "Effect"), std::nullopt);
    EXPECT_EQ(findProfileValue(file, "absent", "Caption"), std::nullopt);
}

constexpr const char* kSettingsFile = "/menu/autorun.inf";

// A reader on a settings file whose "form" section holds the given line, or
// nothing when there is no line.
struct FormFile {
    explicit FormFile(const std::optional<std::string>& line)
    {
        files.setFile(kSettingsFile, "[form]\r\n" + line.value_or("") + "\r\n");
    }
    FakeFileSystem files;
    qvz::SettingsReader reader { files, kSettingsFile };
};

TEST(SettingsReader, GivesEveryDefaultWithoutAReadableFormSection)
{
    struct Row {
        const char* name;
        std::optional<std::string> contents; // Nothing: the file cannot be read.
        bool exists;
    };
    const Row rows[] = {
        { "missing file", std::nullopt, false },
        { "unreadable file", std::nullopt, true },
        { "empty file", "", true },
        { "file without a form section", "[autorun]\r\nopen=start\r\nCaption=x\r\nEffect=3\r\nUseSplash=1\r\n", true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeFileSystem files;
        if (row.contents)
            files.setFile(kSettingsFile, *row.contents);
        else if (row.exists)
            files.setUnreadableFile(kSettingsFile);
        const qvz::SettingsReader reader(files, kSettingsFile);
        EXPECT_EQ(reader.readString(qvz::kFormSection, "Caption", "QVZ"), "QVZ");
        EXPECT_EQ(reader.readInteger(qvz::kFormSection, "Effect", 1), 1);
        EXPECT_FALSE(reader.readBool(qvz::kFormSection, "UseSplash", false));
        EXPECT_TRUE(reader.readBool(qvz::kFormSection, "UseSplash", true));
    }
}

TEST(SettingsReader, ReadsStringsAsWrittenAndDefaultsOnlyWhenAbsent)
{
    struct Row {
        const char* name;
        std::optional<std::string> line;
        std::string value;
    };
    const Row rows[] = {
        { "caption present", "Caption=Disc menu", "Disc menu" },
        { "caption present but empty", "Caption=", "" },
        { "caption missing", std::nullopt, "QVZ" },
        { "caption quoted", "Caption=\" Disc \"", " Disc " },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FormFile settings(row.line);
        EXPECT_EQ(settings.reader.readString(qvz::kFormSection, "Caption", "QVZ"), row.value);
    }
}

TEST(SettingsReader, ReadsIntegersOrFallsBackToTheDefault)
{
    struct Row {
        const char* name;
        std::optional<std::string> line;
        int32_t value;
    };
    const Row rows[] = {
        { "0x prefix", "Effect=0x8", 8 },
        { "dollar prefix", "Effect=$8", 8 },
        { "negative", "Effect=-1", -1 },
        { "blanks around the value", "Effect = 12 ", 12 },
        { "quoted number", "Effect=\"0x10\"", 16 },
        { "trailing letter", "Effect=8a", 1 },
        { "0x alone", "Effect=0x", 1 },
        { "empty value", "Effect=", 1 },
        { "key missing", std::nullopt, 1 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FormFile settings(row.line);
        EXPECT_EQ(settings.reader.readInteger(qvz::kFormSection, "Effect", 1), row.value);
    }
}

TEST(SettingsReader, ReadsBooleansAsNonZeroIntegers)
{
    struct Row {
        const char* name;
        std::optional<std::string> line;
        bool defaultValue;
        bool value;
    };
    const Row rows[] = {
        { "true is not a number", "UseSplash=true", false, false },
        { "yes is not a number", "UseSplash=yes", false, false },
        { "one", "UseSplash=1", false, true },
        { "minus one", "UseSplash=-1", false, true },
        { "hexadecimal one", "UseSplash=0x1", false, true },
        { "any other non-zero number", "UseSplash=2", false, true },
        { "zero", "UseSplash=0", false, false },
        { "malformed value keeps a true default", "UseSplash=true", true, true },
        { "zero overrides a true default", "UseSplash=0", true, false },
        { "empty value keeps a true default", "UseSplash=", true, true },
        { "missing key keeps a true default", std::nullopt, true, true },
        { "missing key keeps a false default", std::nullopt, false, false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FormFile settings(row.line);
        EXPECT_EQ(settings.reader.readBool(qvz::kFormSection, "UseSplash", row.defaultValue), row.value);
    }
}

TEST(SettingsReader, GoesToTheFileForEveryRead)
{
    FakeFileSystem files;
    files.setFile(kSettingsFile, "[form]\nCaption=First\n");
    const qvz::SettingsReader reader(files, kSettingsFile);
    EXPECT_EQ(reader.readString(qvz::kFormSection, "Caption", "QVZ"), "First");

    files.setFile(kSettingsFile, "[form]\nCaption=Second\nEffect=3\nUseSplash=1\n");
    EXPECT_EQ(reader.readString(qvz::kFormSection, "Caption", "QVZ"), "Second");
    EXPECT_EQ(reader.readInteger(qvz::kFormSection, "Effect", 1), 3);
    EXPECT_TRUE(reader.readBool(qvz::kFormSection, "UseSplash", false));
    EXPECT_EQ(files.readCount(kSettingsFile), 4);
}

TEST(SettingsReader, ReadsTheFileBesideAnExecutableAtTheRoot)
{
    FakeFileSystem files;
    files.setExecutablePath("/start");
    files.setFile("/autorun.inf", "[form]\nUseSplash=1\n");
    const qvz::SettingsReader reader(files, qvz::settingsPath(files));
    EXPECT_TRUE(reader.readBool(qvz::kFormSection, "UseSplash", false));
}

}
