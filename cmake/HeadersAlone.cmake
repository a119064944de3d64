# Every header compiled on its own: one generated unit a header, including it
# twice and nothing else, built without the precompiled headers the libraries
# use. A header that leans on an include it does not make itself (a Qt type
# the precompiled headers happen to bring, a class only declared ahead), or
# that cannot be included twice, fails the build.
#
#   arm_headers_alone(NAME FROM BASE HEADER...)
#
# NAME is the object library made; its units take the include folders and
# definitions of the library FROM; the headers are included by their path
# from BASE, as the sources include them.
#
# A header with #pragma once that another one of the list includes before
# anything else (nothing but comments and #pragma once above it) gets no unit
# of its own: that header's unit begins with it alone, so it is compiled on
# its own there. This spares a sixth of the units.
function(arm_headers_alone name from base)
  set(led)
  foreach(header ${ARGN})
    file(READ ${header} text LIMIT 4000)
    if(text MATCHES "^(([ \t]*(//[^\n]*)?|[ \t]*#pragma once[ \t]*)\n)*[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      list(APPEND led ${base}/${CMAKE_MATCH_4})
    endif()
  endforeach()
  set(units)
  foreach(header ${ARGN})
    if(header IN_LIST led)
      file(READ ${header} text LIMIT 4000)
      if(text MATCHES "#pragma once")
        continue()
      endif()
    endif()
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
endfunction()
