# Writes SIZE x SIZE pixels of straight 8-bit RGBA (INPUT) as a C++ header (OUTPUT).
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR expected "${SIZE} * ${SIZE} * 4 * 2")
if(NOT digits EQUAL expected)
  message(FATAL_ERROR "${INPUT}: ${digits} hex digits, expected ${expected}")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated at build time from data/skyhook.svg; do not edit.
#pragma once
constexpr int kWindowIconSize = ${SIZE};
constexpr unsigned char kWindowIconRgba[] = {
    ${bytes}};
")
