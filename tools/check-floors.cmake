# Checks the map of ARCHITECTURE.md on the sources: every quoted include of
# another folder names that folder from its program's root ("common/..." for
# the shared helpers), and a folder includes only folders on a lower floor, so
# no two folders include each other. Run: cmake -DSOURCE_DIR=<repo> -P this.
# Lowest floor first, per program; common/ is below both.
set(ostrak_floors common ostrak/app ostrak/store ostrak/convert ostrak/sound ostrak/song
    ostrak/listen ostrak/import ostrak/template ostrak/optimise ostrak)
set(crimp_floors common crimp/search crimp/app crimp)
set(problems "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/common/*.cpp ${SOURCE_DIR}/common/*.h ${SOURCE_DIR}/ostrak/*.cpp ${SOURCE_DIR}/ostrak/*.h
     ${SOURCE_DIR}/crimp/*.cpp ${SOURCE_DIR}/crimp/*.h)
foreach(file IN LISTS sources)
  get_filename_component(folder ${file} DIRECTORY)
  string(REGEX MATCH "^[a-z]+" program ${file})
  if(program STREQUAL "common")
    set(floors common)
  else()
    set(floors ${${program}_floors})
  endif()
  list(FIND floors ${folder} own)
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${line}")
    if(NOT name MATCHES "/" AND EXISTS ${SOURCE_DIR}/${folder}/${name})
      continue() # a header of the same folder
    elseif(name MATCHES "^common/" AND EXISTS ${SOURCE_DIR}/${name})
      set(target common)
    elseif(NOT program STREQUAL "common" AND EXISTS ${SOURCE_DIR}/${program}/${name})
      get_filename_component(target ${program}/${name} DIRECTORY)
    else()
      string(APPEND problems "${file}: \"${name}\" does not name its folder\n")
      continue()
    endif()
    list(FIND floors ${target} theirs)
    if(NOT target STREQUAL folder AND (theirs EQUAL -1 OR NOT theirs LESS own))
      string(APPEND problems "${file}: ${folder} may not include ${target} (\"${name}\")\n")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Includes that break the floors:\n${problems}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to their floors")
