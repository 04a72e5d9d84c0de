# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Tavrin for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix,
# whose threads are the POSIX ones that std::thread needs). The programs link libgcc and
# libstdc++ statically, so that an .exe runs on its own (the Qt DLLs the window needs bring the
# shared ones, which go beside it). The tests run under wine
# (tools/run-under-wine.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVRIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLET}-windres)

# Debian has no SQLite for mingw-w64: tools/build-mingw-sqlite.sh builds a static one from
# Debian's source into a cache folder outside the tree, the prefix searched unless
# TAVRIN_MINGW_PREFIX names another.
set(TAVRIN_MINGW_PREFIX "" CACHE PATH
    "Prefix of include/sqlite3.h and lib/libsqlite3.a (empty: tools/build-mingw-sqlite.sh's)")
set(_tavrin_prefix "${TAVRIN_MINGW_PREFIX}")
get_property(_tavrin_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT _tavrin_in_try_compile)
    if(NOT _tavrin_prefix)
        execute_process(
            COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/../tools/build-mingw-sqlite.sh" --print-prefix
            OUTPUT_VARIABLE _tavrin_prefix OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_VARIABLE _tavrin_why ERROR_STRIP_TRAILING_WHITESPACE)
    endif()
    get_property(_tavrin_warned GLOBAL PROPERTY TAVRIN_MINGW_WARNED)
    if(NOT _tavrin_warned AND NOT EXISTS "${_tavrin_prefix}/lib/libsqlite3.a")
        set_property(GLOBAL PROPERTY TAVRIN_MINGW_WARNED TRUE)
        if(NOT _tavrin_why)
            set(_tavrin_why "No lib/libsqlite3.a in '${_tavrin_prefix}'")
        endif()
        message(WARNING "${_tavrin_why}. Run tools/build-mingw-sqlite.sh, or name the prefix "
                        "that has SQLite for mingw-w64 with -DTAVRIN_MINGW_PREFIX=.")
    endif()
    # FindSQLite3 keeps what it found in the cache: a new prefix (the script's folder changes
    # with its content and with SQLite's version) has it search again.
    if(NOT "${_tavrin_prefix}" STREQUAL "${_TAVRIN_MINGW_PREFIX_USED}")
        unset(SQLite3_INCLUDE_DIR CACHE)
        unset(SQLite3_LIBRARY CACHE)
        set(_TAVRIN_MINGW_PREFIX_USED "${_tavrin_prefix}" CACHE INTERNAL "")
    endif()
endif()

# Nor has it Qt for mingw-w64: tools/build-mingw-qt.sh builds one from Debian's source into the
# same cache, searched unless TAVRIN_MINGW_QT_PREFIX names another. Without it the build has no
# window. Debian's own Qt tools of the same version (moc, rcc, uic) serve the cross build.
set(TAVRIN_MINGW_QT_PREFIX "" CACHE PATH
    "Prefix of a Qt 6 for mingw-w64 (empty: tools/build-mingw-qt.sh's)")
set(_tavrin_qt_prefix "${TAVRIN_MINGW_QT_PREFIX}")
if(NOT _tavrin_in_try_compile)
    if(NOT _tavrin_qt_prefix)
        execute_process(
            COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/../tools/build-mingw-qt.sh" --print-prefix
            OUTPUT_VARIABLE _tavrin_qt_prefix OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    # Qt's packages are found once and kept in the cache: another prefix has them found again.
    if(NOT "${_tavrin_qt_prefix}" STREQUAL "${_TAVRIN_MINGW_QT_PREFIX_USED}")
        get_cmake_property(_tavrin_cached CACHE_VARIABLES)
        foreach(_tavrin_variable IN LISTS _tavrin_cached)
            if(_tavrin_variable MATCHES "^Qt6.*_DIR$")
                unset(${_tavrin_variable} CACHE)
            endif()
        endforeach()
        set(_TAVRIN_MINGW_QT_PREFIX_USED "${_tavrin_qt_prefix}" CACHE INTERNAL "")
    endif()
endif()
if(EXISTS "${_tavrin_qt_prefix}/lib/cmake/Qt6/Qt6Config.cmake")
    set(TAVRIN_WINDOWS_QT_PREFIX "${_tavrin_qt_prefix}")
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
else()
    set(_tavrin_qt_prefix "")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLET} ${_tavrin_prefix} ${_tavrin_qt_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# mingw-w64 declares the thread-safe localtime_r (over localtime_s) only when asked to.
set(CMAKE_CXX_FLAGS_INIT "-D_POSIX_THREAD_SAFE_FUNCTIONS=200112L")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/../tools/run-under-wine.sh)
