# data/resources.rc is the one resource script. Here it becomes a table compiled into the program,
# together with a copy of the music module that the player falls back to.
set(resource_script ${CMAKE_SOURCE_DIR}/data/resources.rc)
set(music_module ${CMAKE_SOURCE_DIR}/data/quendralis.xm)
set(resource_table ${CMAKE_BINARY_DIR}/generated/resources.cpp)

file(STRINGS ${resource_script} resource_lines)
set(resource_files ${resource_script})
foreach(line IN LISTS resource_lines)
  if(line MATCHES "^[ \t]*[0-9]+[ \t]+[A-Za-z]+[ \t]+\"([^\"]+)\"")
    list(APPEND resource_files ${CMAKE_SOURCE_DIR}/data/${CMAKE_MATCH_1})
  endif()
endforeach()

set(embed_args ${resource_script} ${resource_table})
if(EXISTS ${music_module})
  list(APPEND embed_args --module ${music_module})
  list(APPEND resource_files ${music_module})
endif()

add_custom_command(
  OUTPUT ${resource_table}
  COMMAND embed ${embed_args}
  DEPENDS embed ${resource_files}
  COMMENT "Embedding the program's resources")
add_library(quendralis_resources STATIC ${resource_table})
target_include_directories(quendralis_resources PUBLIC ${CMAKE_SOURCE_DIR})

# The demo reads its module from the directory it is started in: keep a copy next to the program.
if(EXISTS ${music_module})
  add_custom_target(copy_module ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${music_module} ${CMAKE_BINARY_DIR}/quendralis.xm
    DEPENDS ${music_module})
endif()
