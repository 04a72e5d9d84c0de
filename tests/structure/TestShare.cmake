# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DSOURCE_DIR=<repository> [-DMAX_PERMILLE=500] -P TestShare.cmake
# Fails when the tests grow past their share of the code: non-blank lines of C++ (.cpp, .h) in
# tests/ against those in src/, at most MAX_PERMILLE per thousand (500: tests are at most a third
# of all C++ code).
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<repository> -P TestShare.cmake")
endif()
if(NOT MAX_PERMILLE)
    set(MAX_PERMILLE 500)
endif()

function(count_lines folder result)
    file(GLOB_RECURSE files ${folder}/*.cpp ${folder}/*.h)
    set(total 0)
    foreach(file IN LISTS files)
        file(READ ${file} text)
        # Blank lines go, every other character but the line ends goes, the line ends are counted.
        string(REGEX REPLACE "[ \t\r]+\n" "\n" text "\n${text}\n")
        string(REGEX REPLACE "\n\n+" "\n" text "${text}")
        string(REGEX REPLACE "[^\n]" "" text "${text}")
        string(LENGTH "${text}" lines)
        math(EXPR total "${total} + ${lines} - 1")
    endforeach()
    set(${result} ${total} PARENT_SCOPE)
endfunction()

count_lines(${SOURCE_DIR}/src program)
count_lines(${SOURCE_DIR}/tests tests)
if(program EQUAL 0)
    message(FATAL_ERROR "no C++ lines found below ${SOURCE_DIR}/src")
endif()
math(EXPR permille "${tests} * 1000 / ${program}")
math(EXPR allowed "${program} * ${MAX_PERMILLE} / 1000")
set(figures "tests ${tests} non-blank lines, src ${program}: ${permille} per thousand")
if(tests GREATER allowed)
    message(FATAL_ERROR "the tests outgrow their share: ${figures}, at most ${MAX_PERMILLE} "
                        "(${allowed} lines). Merge same-shape cases into tables, share set-up "
                        "through tests/support.")
endif()
message(STATUS "${figures} (at most ${MAX_PERMILLE})")
