# SPDX-License-Identifier: GPL-3.0-or-later
# The window on Windows runs on Qt's DLLs, which import the compiler's shared runtime. The tests
# under wine find them where they were built (the emulator's --dlls), and the zip carries them
# beside tavrin.exe with the platform and style plugins in the folders Qt looks for beside the
# program, so that the unpacked folder runs with nothing installed.
set(TAVRIN_WINDOWS_QT_DLLS Qt6Core Qt6Gui Qt6Widgets Qt6Network)
set(_tavrin_qt_bin ${TAVRIN_WINDOWS_QT_PREFIX}/bin)

set(TAVRIN_WINDOWS_RUNTIME_DLLS "")
set(_tavrin_dll_folders ${_tavrin_qt_bin})
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    get_filename_component(path ${path} REALPATH)
    get_filename_component(folder ${path} DIRECTORY)
    list(APPEND TAVRIN_WINDOWS_RUNTIME_DLLS ${path})
    list(APPEND _tavrin_dll_folders ${folder})
endforeach()
list(REMOVE_DUPLICATES _tavrin_dll_folders)
foreach(folder IN LISTS _tavrin_dll_folders)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --dlls ${folder})
endforeach()

list(TRANSFORM TAVRIN_WINDOWS_QT_DLLS PREPEND ${_tavrin_qt_bin}/)
list(TRANSFORM TAVRIN_WINDOWS_QT_DLLS APPEND .dll)
install(FILES ${TAVRIN_WINDOWS_QT_DLLS} ${TAVRIN_WINDOWS_RUNTIME_DLLS} DESTINATION .)
install(FILES ${TAVRIN_WINDOWS_QT_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${TAVRIN_WINDOWS_QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll
        DESTINATION styles)
