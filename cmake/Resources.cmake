# data/resources.rc is the one resource script. Where no resource compiler reads it, tools/embed turns
# it into a table compiled into the program, together with a copy of the music module that the player
# falls back to. The tool names every file it read in a dependency file, so that a change to any of
# them rebuilds the table without CMake reading the script itself.
set(quendralis_resource_script ${CMAKE_SOURCE_DIR}/data/resources.rc)

# quendralis_add_resources(NAME COMMAND how to run embed... [MODULE file]): the table as library NAME;
# without MODULE the program carries no fallback module.
function(quendralis_add_resources name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "MODULE" "COMMAND")
  set(table ${CMAKE_BINARY_DIR}/generated/${name}.cpp)
  set(args ${quendralis_resource_script} ${table} --depfile ${table}.d)
  if(arg_MODULE)
    list(APPEND args --module ${arg_MODULE})
  endif()
  add_custom_command(
    OUTPUT ${table}
    COMMAND ${arg_COMMAND} ${args}
    DEPENDS embed ${quendralis_resource_script} ${arg_MODULE}
    DEPFILE ${table}.d
    COMMENT "Embedding the program's resources (${name})")
  add_library(${name} STATIC ${table})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
