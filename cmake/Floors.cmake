# The folders of src/ are floors: each is a static library that may use only the floors
# it links, and the floors those link in turn. curtainup_add_floor declares one; the
# include check (tests/structure) reads the same declarations from floors.txt, so an
# include that points up a floor fails it.
#
# curtainup_add_floor(<floor> [NO_HOST] SOURCES <files...> [FLOORS <floors below...>]
#                     [LIBS <other libraries...>])
# NO_HOST: the floor includes no libobs header.
function(curtainup_add_floor floor)
  cmake_parse_arguments(ARG "NO_HOST" "" "SOURCES;FLOORS;LIBS" ${ARGN})
  add_library(curtainup_${floor} STATIC ${ARG_SOURCES})
  set_target_properties(curtainup_${floor} PROPERTIES UNITY_BUILD ${CURTAINUP_UNITY_BUILD})
  target_include_directories(curtainup_${floor} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  set(_floor_libs)
  foreach(_below IN LISTS ARG_FLOORS)
    list(APPEND _floor_libs curtainup_${_below})
  endforeach()
  target_link_libraries(curtainup_${floor} PUBLIC ${_floor_libs} ${ARG_LIBS})
  set(_line "${floor}: ${ARG_FLOORS}")
  string(REPLACE ";" " " _line "${_line}")
  if(ARG_NO_HOST)
    string(APPEND _line " | no-host")
  endif()
  set_property(GLOBAL APPEND PROPERTY CURTAINUP_FLOOR_LINES "${_line}")
endfunction()

# Writes the table of floors for the include check, once every floor is declared.
function(curtainup_write_floors path)
  get_property(_lines GLOBAL PROPERTY CURTAINUP_FLOOR_LINES)
  string(REPLACE ";" "\n" _text "${_lines}")
  file(WRITE "${path}" "${_text}\n")
endfunction()
