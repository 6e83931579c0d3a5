# Writes the bytes of INPUT as a C++ array `name` into OUTPUT.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}" "#include <cstddef>\nextern const unsigned char ${NAME}[] = {${bytes}};\nextern const std::size_t ${NAME}Size = ${size};\n")
