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
function(arm_headers_alone name from base)
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
endfunction()
