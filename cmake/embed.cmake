# Writes a C++ source that embeds files in the program as byte arrays, for the browser build
# (whose page has no files to read). Run as a script at build time:
#
#   cmake -DOUTPUT=out.cpp -DFUNCTION=Namespace::name -DFILES="name=path;name=path" -P embed.cmake
#
# The source defines FUNCTION, declared in runtime/web/embedded.h, as returning every file in the
# order given: its name and its bytes. Each file is a string literal of escaped bytes, which the
# compiler takes far faster than a list of numbers.
cmake_minimum_required(VERSION 3.21)
foreach(var OUTPUT FUNCTION FILES)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "embed.cmake: ${var} is not given")
    endif()
endforeach()

set(arrays "")
set(entries "")
set(i 0)
foreach(pair IN LISTS FILES)
    string(REGEX MATCH "^([^=]+)=(.+)$" matched "${pair}")
    if(NOT matched)
        message(FATAL_ERROR "embed.cmake: '${pair}' is not NAME=PATH")
    endif()
    set(name ${CMAKE_MATCH_1})
    set(path ${CMAKE_MATCH_2})
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    # 64 bytes a line; every byte escaped, so no escape runs into the character after it.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
    string(REPEAT "\\\\x.." 64 line)
    string(REGEX REPLACE "(${line})" "\\1\"\n    \"" escaped "${escaped}")
    string(APPEND arrays "// ${path}\nconst char k${i}[] =\n    \"${escaped}\";\n\n")
    string(APPEND entries "        {\"${name}\", reinterpret_cast<const unsigned char *>(k${i}), ${size}},\n")
    math(EXPR i "${i} + 1")
endforeach()

set(source "// Written by cmake/embed.cmake at build time; do not edit.
#include \"runtime/web/embedded.h\"

#pragma clang diagnostic ignored \"-Woverlength-strings\"

namespace {

${arrays}} // namespace

std::span<const Runtime::Web::EmbeddedFile> ${FUNCTION}()
{
    static const Runtime::Web::EmbeddedFile files[] = {
${entries}    };
    return files;
}
")
# Written afresh only when it changes, so that an unchanged table compiles nothing again.
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" before)
    if(before STREQUAL source)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${source}")
