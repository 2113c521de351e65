# Writes a C++ source that returns the bytes of INPUT from the function FUNCTION
# (namespace gestalon::core). Run as: cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -P embed_text.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\n#include <string_view>\n\nnamespace gestalon::core {\nnamespace {\nconstexpr char kData[] = {\n${bytes}'\\0'};\n}  // namespace\n\nstd::string_view ${FUNCTION}() { return {kData, ${size}}; }\n\n}  // namespace gestalon::core\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
