# SPDX-License-Identifier: GPL-3.0-or-later
# How Tavrin's libraries and programs are declared: every source is named, and a source file that
# sits in a folder without being named in its list stops the configure step.

# Fails when DIR holds a .cpp file that SOURCES does not name.
function(tavrin_require_listed dir)
    file(GLOB present RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*.cpp)
    foreach(file IN LISTS present)
        if(NOT file IN_LIST ARGN)
            message(FATAL_ERROR "${dir}/${file} is in no source list of ${dir}/CMakeLists.txt")
        endif()
    endforeach()
endfunction()

# A library owns one folder below src/ and is included as "FOLDER/Header.h". Its target exposes only
# that folder (a link to it under the build folder), so a header of a library that a target does
# not link cannot be found: includes that point the wrong way fail to compile.
function(tavrin_expose_folder target)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    if(IS_SYMLINK ${root}/${folder})
        file(REMOVE ${root}/${folder})
    endif()
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
        # No symbolic links here (Windows without the privilege): the parent folder instead.
        get_filename_component(root ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# tavrin_library(NAME SOURCES file.cpp... [POSIX file.cpp...] [WINDOWS file.cpp...]
# [DEPS target...]): the static library tavrin_NAME of the folder this is called from. The
# sources under POSIX are built on every system but Windows, those under WINDOWS only there.
function(tavrin_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;POSIX;WINDOWS;DEPS" ${ARGN})
    tavrin_require_listed(${CMAKE_CURRENT_SOURCE_DIR} ${ARG_SOURCES} ${ARG_POSIX} ${ARG_WINDOWS})
    if(WIN32)
        list(APPEND ARG_SOURCES ${ARG_WINDOWS})
    else()
        list(APPEND ARG_SOURCES ${ARG_POSIX})
    endif()
    add_library(tavrin_${name} STATIC ${ARG_SOURCES})
    tavrin_expose_folder(tavrin_${name})
    target_link_libraries(tavrin_${name} PUBLIC ${ARG_DEPS})
endfunction()

# tavrin_test_program(NAME SOURCES file.cpp... [POSIX file.cpp...] [NOT_ON_WINDOWS case...]
# [LIBS target...]): test_NAME, its GoogleTest cases each a CTest test of its own. The POSIX
# sources (tests that need a print server, or the POSIX file system's own cases) and the cases
# named under NOT_ON_WINDOWS (Suite.Case) are left out on Windows.
function(tavrin_test_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;POSIX;NOT_ON_WINDOWS;LIBS" ${ARGN})
    tavrin_require_listed(${CMAKE_CURRENT_SOURCE_DIR} ${ARG_SOURCES} ${ARG_POSIX})
    set(discovery "")
    set(wine "")
    if(NOT WIN32)
        list(APPEND ARG_SOURCES ${ARG_POSIX})
    else()
        # Under wine. The cases are listed when ctest starts, and the first listing makes the wine
        # prefix when it is missing, which takes a while.
        set(wine FIXTURES_REQUIRED wine)
        list(APPEND discovery DISCOVERY_TIMEOUT 120)
        if(ARG_NOT_ON_WINDOWS)
            list(JOIN ARG_NOT_ON_WINDOWS ":" left_out)
            list(APPEND discovery TEST_FILTER "-${left_out}")
        endif()
    endif()
    add_executable(test_${name} ${ARG_SOURCES})
    target_link_libraries(test_${name} PRIVATE tavrin_test_support GTest::gtest GTest::gmock
                                               GTest::gtest_main ${ARG_LIBS})
    gtest_discover_tests(test_${name}
        DISCOVERY_MODE PRE_TEST
        ${discovery}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   ENVIRONMENT_MODIFICATION
                       "LSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
                   TIMEOUT 600 ${wine})
endfunction()
