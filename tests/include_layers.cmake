# Checks every #include "folder/..." of every source and header against one
# table of allowed folder -> folder includes (tests/ and fuzz/ are not
# checked). A header-only include links whatever its direction, so the build
# alone does not catch one that points up.
#   cmake -DROOT=<source folder> -P include_layers.cmake
# Fails, naming each offending file and include, on an include the table does
# not allow, and on a folder with sources that the table does not know.

# folder | the folders its files may include (its own always)
cmake_minimum_required(VERSION 3.20)

set(layers
  "settings|"
  "adapter|settings"
  "emulator|adapter"
  "present|adapter settings"
  "flash|present adapter settings"
  "web|flash present adapter settings"
  "snmp|flash present adapter settings"
  "dialogs|web snmp flash present adapter settings"
  "pages|dialogs web snmp flash present adapter settings"
  "app|web snmp flash present adapter settings"
  "app/ui|app pages dialogs web snmp flash present adapter settings"
  "app/main|app/ui app"
)
# Not checked: the tests, the fuzz targets, and any build tree (a folder
# holding a CMakeCache.txt, whatever its name).
set(unchecked tests fuzz)

if(NOT ROOT)
  message(FATAL_ERROR "ROOT not given")
endif()

set(known "")
foreach(row IN LISTS layers)
  string(REPLACE "|" ";" parts "${row}")
  list(GET parts 0 folder)
  list(APPEND known "${folder}")
endforeach()

set(files "")
file(GLOB tops RELATIVE "${ROOT}" "${ROOT}/*")
foreach(top IN LISTS tops)
  if(IS_DIRECTORY "${ROOT}/${top}" AND NOT top IN_LIST unchecked
     AND NOT EXISTS "${ROOT}/${top}/CMakeCache.txt")
    file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${top}/*.h" "${ROOT}/${top}/*.cpp")
    list(APPEND files ${found})
  endif()
endforeach()

set(faults "")
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  if(NOT folder IN_LIST known)
    list(APPEND faults "${file}: folder ${folder}/ is not in the include table")
    continue()
  endif()
  foreach(row IN LISTS layers)
    string(REPLACE "|" ";" parts "${row}")
    list(GET parts 0 name)
    if(name STREQUAL folder)
      list(LENGTH parts n)
      set(allowed "")
      if(n GREATER 1)
        list(GET parts 1 allowed)
        string(REPLACE " " ";" allowed "${allowed}")
      endif()
      list(APPEND allowed "${folder}")
    endif()
  endforeach()
  file(STRINGS "${ROOT}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)/[^/\"]+\".*$" "\\1" target "${line}")
    if(NOT target IN_LIST allowed)
      list(JOIN allowed " " shown)
      list(APPEND faults "${file}: includes ${target}/ (allowed: ${shown})")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "includes that point where the table does not allow:\n${text}")
endif()
