# Turns own_library.txt into a C++ source holding its text, read by combi/own_library.cpp.
# Called at build time with -DINPUT=... -DOUTPUT=...
file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," data "${content}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from own_library.txt at build time; edit that file instead.\n"
"#include <cstddef>\n\n"
"namespace mvx::detail {\n\n"
"extern const unsigned char kOwnLibraryText[] = {\n${data}0 };\n"
"extern const std::size_t kOwnLibrarySize = ${size};\n\n"
"} // namespace mvx::detail\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
