cmake_minimum_required(VERSION 3.25)
# Installs the build in BUILD_DIR into a fresh PREFIX and checks that a desktop finds the
# program, its launcher, its AppStream description and its icons there, beside the demo.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected bin/tallowfinch share/applications/tallowfinch.desktop
    share/metainfo/invalid.quorvel.tallowfinch.metainfo.xml
    share/quorvel/board.py share/quorvel/program.ini)
foreach(size 16 24 32 48 64 128)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tallowfinch.png)
endforeach()
if(WITH_CLI)
  list(APPEND expected bin/quorvel-cli)
endif()
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/tallowfinch.desktop" launcher)
if(NOT "Exec=tallowfinch" IN_LIST launcher OR NOT "Icon=tallowfinch" IN_LIST launcher)
  message(FATAL_ERROR "the launcher does not start the installed program with its icon")
endif()
file(REMOVE_RECURSE "${PREFIX}")
