# Writes a C source that holds a binary file as a byte array:
#   cmake -DINPUT=<file or empty> -DOUTPUT=<file.c> -DNAME=<symbol> -P embed_binary.cmake
# With no INPUT the array is empty (size 0), for builds without the file.
# The data is aligned to 16 bytes, as loaders of CUDA fat binaries expect.
cmake_minimum_required(VERSION 3.25)
if(INPUT)
  file(READ "${INPUT}" hex HEX)
  set(origin "from ${INPUT}")
else()
  set(hex "")
  set(origin "empty: built without the file")
endif()
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")

if(size GREATER 0)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 line)  # CMake's regular expressions have no {n}
  string(REGEX REPLACE "(${line})" "\\1\n  " bytes "${bytes}")
else()
  set(bytes "0")
endif()

file(WRITE "${OUTPUT}.tmp" "/* Generated at build time, ${origin}; do not edit. */
#include <stddef.h>

_Alignas(16) const unsigned char ${NAME}[] = {
  ${bytes}
};
const size_t ${NAME}_size = ${size};
")
# Only a changed file triggers the recompilation.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
