# cmake -DROOT=<dir> -DLAYERS=<a;b;...> -P CheckLayers.cmake
# The stage folders of ROOT, lowest first: a file of a folder includes only
# files of its own folder and of those before it. Every folder of ROOT must
# be named. Fails with one line per include that points up.
cmake_minimum_required(VERSION 3.20)

if(NOT ROOT OR NOT LAYERS)
  message(FATAL_ERROR "CheckLayers: ROOT and LAYERS are required")
endif()
string(REPLACE "," ";" LAYERS "${LAYERS}")

file(GLOB entries RELATIVE ${ROOT} ${ROOT}/*)
set(problems "")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY ${ROOT}/${entry} AND NOT entry IN_LIST LAYERS)
    string(APPEND problems "${entry}/ is no named layer\n")
  endif()
endforeach()

# Which layer each file name belongs to.
set(index 0)
foreach(layer IN LISTS LAYERS)
  file(GLOB names RELATIVE ${ROOT}/${layer} ${ROOT}/${layer}/*)
  foreach(name IN LISTS names)
    set(layer_of_${name} ${index})
    set(folder_of_${name} ${layer})
  endforeach()
  math(EXPR index "${index} + 1")
endforeach()

set(index 0)
foreach(layer IN LISTS LAYERS)
  file(GLOB files RELATIVE ${ROOT} ${ROOT}/${layer}/*)
  foreach(file IN LISTS files)
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      get_filename_component(name "${included}" NAME)
      if(DEFINED layer_of_${name} AND layer_of_${name} GREATER index)
        string(APPEND problems "${file} includes ${included} of the later layer ${folder_of_${name}}/\n")
      endif()
    endforeach()
  endforeach()
  math(EXPR index "${index} + 1")
endforeach()

if(problems)
  message(FATAL_ERROR "Includes that point up (layers, lowest first: ${LAYERS}):\n${problems}")
endif()
message(STATUS "Layers of ${ROOT} point one way: ${LAYERS}")
