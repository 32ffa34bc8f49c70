# The demo as every build makes it (Linux and its cross builds, Windows, the web): the demo's own
# folders, the platform files they share, and a copy of the module beside the program.

# The demo itself, which sees only the three platform headers: STATIC, or OBJECT where nothing refers
# to the entry point that would pull it out of an archive.
function(quendralis_add_demo type)
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/music/*.cpp ${CMAKE_SOURCE_DIR}/effects/*.cpp)
  add_library(quendralis_demo ${type} ${sources})
  quendralis_add_render_sources(quendralis_demo)
  target_include_directories(quendralis_demo PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# The files of platform/ that implement Win32 and DirectDraw over a host; Windows has its own. Every
# other file there serves every build.
set(quendralis_hosted_platform_files win32.cpp ddraw.cpp host.cpp host_audio.cpp)

# The platform layer: the module player and what every build shares, with this build's own files.
function(quendralis_add_platform)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.cpp)
  foreach(file IN LISTS quendralis_hosted_platform_files)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/platform/${file})
  endforeach()
  add_library(quendralis_platform STATIC ${sources} ${ARGN})
  target_include_directories(quendralis_platform PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Win32 and DirectDraw over a host, and the virtual host that the tests and the capture drive.
function(quendralis_add_hosted_platform)
  list(TRANSFORM quendralis_hosted_platform_files PREPEND ${CMAKE_SOURCE_DIR}/platform/ OUTPUT_VARIABLE hosted)
  quendralis_add_platform(${hosted})
  target_link_libraries(quendralis_demo PUBLIC quendralis_platform)
  file(GLOB virtual_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/virtual/*.cpp)
  add_library(quendralis_virtual STATIC ${virtual_sources})
  target_link_libraries(quendralis_virtual PUBLIC quendralis_platform)
endfunction()

# The demo reads its module from the directory it is started in: keep a copy next to the program.
set(quendralis_module ${CMAKE_SOURCE_DIR}/data/quendralis.xm)
add_custom_target(copy_module ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${quendralis_module} ${CMAKE_BINARY_DIR}/quendralis.xm
  DEPENDS ${quendralis_module})
