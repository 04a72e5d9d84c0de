# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DSCRATCH=<empty folder> -P CheckLayersCatches.cmake
# Proves that CheckLayers.cmake fails on includes that point up, and on an engine that names the
# window's controls: each case is a one-file tree.
set(cases
    "spool/Run.cpp|#include \"app/TavrinMain.h\"|spool may include only"
    "spool/Run.h|#include \"cli/CliCommands.h\"|spool may include only"
    "platform/Spooler.h|#include \"joblist/JobList.h\"|platform may include only"
    "settings/Store.cpp|#include \"widgets/DataGrid.h\"|settings may include only"
    "joblist/List.cpp|#include <QString>|joblist has no Qt"
    "cli/Send.cpp|#  include <QtCore/QFile>|cli has no Qt"
    "printers/Name.h|#include \"app/TavrinUnit.h\"|printers may include only"
    "printsystem/Cups.h|#include \"printers/PrinterSelection.h\"|printsystem may include only"
    "spool/Run.h|void Run(Form& form)|names Form"
    "joblist/List.h|class JobList { Grid* grid_ }|names Grid"
    "printers/Rules.cpp|void Apply(Control& box, PlainForm& form) {}|names Control"
    "settings/Store.h|void Load(ValueControl& edit)|names ValueControl"
    "cli/Send.cpp|PlainForm form{grid}|names PlainForm"
    "spool/Scheduler.h|  Timer& timer = form.Timer1()|names Timer"
    "widgets/Grid.cpp|#include \"app/Over.h\"|widgets may include only"
    "app/Main.cpp|#include \"cli/CliCommands.h\"|app may include only"
    "extra/New.cpp|#include \"platform/Error.h\"|a folder the layer rules do not know")
set(index 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    math(EXPR index "${index} + 1")
    set(tree ${SCRATCH}/case${index})
    file(REMOVE_RECURSE ${tree})
    file(WRITE ${tree}/src/${file} "#pragma once\n${line}\n")
    file(WRITE ${tree}/src/platform/Fine.h "#pragma once\n#include <string>\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree}
                            -P ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(result EQUAL 0)
        message(FATAL_ERROR "not caught: ${line} in src/${file}")
    endif()
    string(FIND "${err}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "src/${file}: expected \"${expected}\", got:\n${err}")
    endif()
endforeach()
cmake_minimum_required(VERSION 3.25)

# Includes that point down, std headers that begin with q and a file without includes pass.
set(tree ${SCRATCH}/fine)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/src/spool/Run.cpp
    "#include \"spool/Run.h\"\n#include \"settings/Store.h\"\n#include <queue>\n#include \"Local.h\"\n")
file(WRITE ${tree}/src/app/Main.cpp "#include <QWidget>\n#include \"widgets/Grid.h\"\nGrid& grid()\n")
# A window control named in a comment or a message is no use of it.
file(WRITE ${tree}/src/spool/Text.h
    "#pragma once\n// Not the window's Form or Grid.\nconst char* kText = \"Form Grid Timer\";\nint FormFeed = 0;\n")
file(WRITE ${tree}/src/platform/Empty.h "#pragma once\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree}
                        -P ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake
                RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "a tree whose includes all point down failed:\n${err}")
endif()
message(STATUS "layer check: ${index} faults caught, the sound tree passes")
