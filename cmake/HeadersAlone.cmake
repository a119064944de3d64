# Every header compiled on its own: one generated unit a header, including it
# twice and nothing else, built without the precompiled headers the libraries
# use. A header that leans on an include it does not make itself (a Qt type
# the precompiled headers happen to bring, a class only declared ahead), or
# that cannot be included twice, fails the build.
#
#   arm_headers_alone(NAME FROM BASE HEADER...)
#
# NAME names the object libraries made; their units take the include folders
# and definitions of the library FROM; the headers are included by their path
# from BASE, as the sources include them.
#
# A header with #pragma once that another one of the list includes before
# anything else (nothing but comments and #pragma once above it) gets no unit
# of its own: that header's unit begins with it alone, so it is compiled on
# its own there. This spares a sixth of the units.
#
# For the same reason the headers that begin with the same include share it
# as a precompiled header: their units would parse it first anyway, alone, so
# the header is checked as before while its include is parsed once a group.

# The regular expression of a header's first include, with nothing but
# comments and #pragma once above it; the include is match 4, its
# brackets or quotes match 3.
set(ARM_LEADING_INCLUDE
  "^(([ \t]*(//[^\n]*)?|[ \t]*#pragma once[ \t]*)\n)*[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]+)[\">]")

# The smallest group that is worth a precompiled header of its own.
set(ARM_HEADERS_ALONE_GROUP 8)

function(arm_headers_alone name from base)
  # A header's first include decides its group: an edit of one configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARGN})
  set(led)
  foreach(header ${ARGN})
    file(READ ${header} text LIMIT 4000)
    if(text MATCHES "${ARM_LEADING_INCLUDE}" AND CMAKE_MATCH_4 STREQUAL "\"")
      list(APPEND led ${base}/${CMAKE_MATCH_5})
    endif()
  endforeach()

  # First by the include a header begins with, then the rest by the system
  # header their chain of first includes begins with.
  set(groups)
  set(rest)
  set(alone)
  foreach(header ${ARGN})
    file(READ ${header} text LIMIT 4000)
    if(header IN_LIST led AND text MATCHES "#pragma once")
      continue()
    endif()
    if(text MATCHES "${ARM_LEADING_INCLUDE}")
      if(CMAKE_MATCH_4 STREQUAL "\"")
        set(pch "\"${CMAKE_MATCH_5}\"")
      else()
        set(pch "<${CMAKE_MATCH_5}>")
      endif()
      arm_group_header(${header} "${pch}" groups)
    else()
      list(APPEND alone ${header})
    endif()
  endforeach()
  arm_group_units(${name} ${from} ${base} "${groups}" rest)
  set(chains)
  foreach(header ${rest})
    arm_first_system_header(${header} ${base} first)
    if(first)
      arm_group_header(${header} "<${first}>" chains)
    else()
      list(APPEND alone ${header})
    endif()
  endforeach()
  arm_group_units(${name} ${from} ${base} "${chains}" rest)
  arm_header_units(${name} ${from} ${base} "" ${alone} ${rest})
endfunction()

# arm_group_header(HEADER PCH GROUPS): HEADER joins the group of PCH, named
# in the list GROUPS; the groups live in the caller's scope.
macro(arm_group_header header pch groups)
  string(REGEX REPLACE "[^A-Za-z0-9]+" "_" _group "${groups} ${pch}")
  string(REGEX REPLACE "_$" "" _group "${_group}")
  list(APPEND ${groups} ${_group})
  list(REMOVE_DUPLICATES ${groups})
  set(pch_of_${_group} "${pch}")
  list(APPEND units_of_${_group} ${header})
endmacro()

# arm_group_units(NAME FROM BASE GROUPS REST): a library for every group
# large enough; the headers of the other groups are put in the list REST.
macro(arm_group_units name from base groups rest)
  set(${rest})
  foreach(_group ${groups})
    list(LENGTH units_of_${_group} _count)
    if(_count LESS ARM_HEADERS_ALONE_GROUP)
      list(APPEND ${rest} ${units_of_${_group}})
    else()
      arm_header_units(${name}_${_group} ${from} ${base} "${pch_of_${_group}}"
        ${units_of_${_group}})
    endif()
    unset(units_of_${_group})
  endforeach()
endmacro()

# arm_first_system_header(HEADER BASE OUT): the <header> that HEADER's chain
# of first includes (each with nothing but comments above it) ends in, or
# nothing when the chain ends before one.
function(arm_first_system_header header base out)
  set(${out} "" PARENT_SCOPE)
  foreach(step RANGE 16)
    file(READ ${header} text LIMIT 4000)
    if(NOT text MATCHES "${ARM_LEADING_INCLUDE}")
      return()
    endif()
    if(CMAKE_MATCH_4 STREQUAL "<")
      set(${out} "${CMAKE_MATCH_5}" PARENT_SCOPE)
      return()
    endif()
    set(header ${base}/${CMAKE_MATCH_5})
    if(NOT EXISTS ${header})
      return()
    endif()
  endforeach()
endfunction()

# arm_header_units(NAME FROM BASE PCH HEADER...): the object library NAME of
# one unit a header, with PCH (empty: none) as its precompiled header.
function(arm_header_units name from base pch)
  set(units)
  foreach(header ${ARGN})
    file(RELATIVE_PATH relative ${base} ${header})
    set(unit ${CMAKE_CURRENT_BINARY_DIR}/${name}/${relative}.cpp)
    file(CONFIGURE OUTPUT ${unit}
      CONTENT "#include \"${relative}\"\n#include \"${relative}\"\n" @ONLY)
    list(APPEND units ${unit})
  endforeach()
  add_library(${name} OBJECT ${units})
  target_link_libraries(${name} PRIVATE ${from})
  # What is checked is that the header parses: no code, no debug information.
  target_compile_options(${name} PRIVATE -O0 -g0)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  if(pch)
    target_precompile_headers(${name} PRIVATE ${pch})
  endif()
endfunction()
