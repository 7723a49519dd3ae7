# Writes a file's bytes into a C++ source as one array, so the module carries it and
# nothing is read from disk at run time:
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DNAME=<symbol> -P EmbedText.cmake
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE "${OUTPUT}" "// Made at build time from ${INPUT}.\n#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {${bytes} 0};\n"
  "extern const std::size_t ${NAME}Size = sizeof(${NAME}) - 1;\n")
