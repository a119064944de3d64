# The schema and reference rows in db/ are compiled into arm_core, and the
# build writes a new database next to the program when none is there. An
# existing database is never touched.

set_property(TARGET arm_core PROPERTY AUTORCC ON)
target_sources(arm_core PRIVATE ${CMAKE_SOURCE_DIR}/db/db.qrc)

add_executable(arm_newdb ${CMAKE_SOURCE_DIR}/db/NewDatabaseTool.cpp)
target_link_libraries(arm_newdb PRIVATE arm_core)

set(ARM_NEW_DATABASE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/DB_ARM/db_arm_vesk.mdb)
get_filename_component(ARM_NEW_DATABASE_DIR ${ARM_NEW_DATABASE} DIRECTORY)
add_custom_target(arm_new_database ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ARM_NEW_DATABASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:arm_newdb> --keep-existing ${ARM_NEW_DATABASE}
  COMMENT "Database next to the program: ${ARM_NEW_DATABASE}"
  VERBATIM)
add_dependencies(arm_new_database arm_newdb)
add_dependencies(arm arm_new_database)
