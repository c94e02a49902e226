# Writes a C++ source that holds a file's bytes as an array, so a resource is
# part of the executable. Include it with INPUT, OUTPUT and SYMBOL set, or run
# it in script mode with the same variables given by -D.
# The source defines qvz::resources::<SYMBOL>, a std::string_view over the bytes.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp "// Generated from ${INPUT}; do not edit.\n#include <string_view>\n\nnamespace qvz::resources {\nnamespace {\nconst unsigned char bytes[${size}] = {\n${bytes}\n};\n}\nextern const std::string_view ${SYMBOL};\nconst std::string_view ${SYMBOL}(reinterpret_cast<const char*>(bytes), sizeof bytes);\n}\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
