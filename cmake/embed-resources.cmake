# Writes a C++ source holding files as the host build's program resources
# (os/sim/embedded_resources.h), as the Windows build's resource compiler
# puts them into Tarnvale.exe.
#
#   cmake -DOUT=<file.cpp> -DRESOURCES="<id>:<type>:<file>;..." -P embed-resources.cmake
set(body "// Made by cmake/embed-resources.cmake; do not edit.\n#include \"os/sim/embedded_resources.h\"\n\nnamespace os::sim {\nnamespace {\n")
set(table "")
set(n 0)
foreach(entry ${RESOURCES})
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 id)
  list(GET parts 1 type)
  list(GET parts 2 file)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char kData${n}[] = {${bytes}};\n")
  string(APPEND table "    {${id}, \"${type}\", kData${n}, ${size}},\n")
  math(EXPR n "${n} + 1")
endforeach()
string(APPEND body "}  // namespace\n\nconst EmbeddedResource kEmbeddedResources[] = {\n${table}};\nconst size_t kEmbeddedResourceCount = ${n};\n\n}  // namespace os::sim\n")
file(WRITE "${OUT}.tmp" "${body}")
file(RENAME "${OUT}.tmp" "${OUT}")
