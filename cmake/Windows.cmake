# The native Windows program (32-bit; the windows64 preset builds it for 64-bit Wine too): the demo
# over the real Win32 and DirectDraw, data/resources.rc through the resource compiler, and the module
# player over a static libopenmpt and waveOut. No tools, tests or hosts: those run on the build machine.
enable_language(RC)

# SSE2 maths on 32-bit x86 comes from cmake/FloatingPoint.cmake, as on every build. With SSE on,
# mingw realigns the stack where a Windows callback enters with only 4-byte alignment. The compiler
# may still spill a 32-byte AVX value with an aligned move to a stack that Windows aligns to 16 bytes
# only: the assembler makes every aligned vector move an unaligned one.
add_compile_options(-Wa,-muse-unaligned-vector-move)
if(NOT mingw_triplet)
  string(REGEX REPLACE "-g[+][+].*$" "" mingw_triplet "${CMAKE_CXX_COMPILER}")
  get_filename_component(mingw_triplet ${mingw_triplet} NAME)
endif()

# libopenmpt is built once from Debian's source package, into a cache shared by every build tree.
execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/libopenmpt.sh ${mingw_triplet}
                OUTPUT_VARIABLE openmpt_prefix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE openmpt_result)
if(NOT openmpt_result EQUAL 0 OR NOT EXISTS ${openmpt_prefix}/lib/libopenmpt.a)
  message(FATAL_ERROR "libopenmpt for Windows could not be built")
endif()
add_library(openmpt STATIC IMPORTED)
set_target_properties(openmpt PROPERTIES
  IMPORTED_LOCATION ${openmpt_prefix}/lib/libopenmpt.a
  INTERFACE_INCLUDE_DIRECTORIES ${openmpt_prefix}/include
  INTERFACE_LINK_LIBRARIES "ole32;rpcrt4")

# Objects rather than an archive: WinMain is what the C runtime's start-up code calls, and nothing in
# the program refers to it that would pull it out of an archive.
quendralis_add_demo(OBJECT)

# The module player; Win32 and DirectDraw are the system's own.
file(GLOB windows_sources CONFIGURE_DEPENDS platform/windows/*.cpp)
quendralis_add_platform(${windows_sources})
target_link_libraries(quendralis_platform PUBLIC openmpt winmm)

# Only system DLLs at run time: the C++ runtime and winpthread are linked in.
add_executable(quendralis WIN32 data/resources.rc)
target_link_libraries(quendralis PRIVATE quendralis_demo quendralis_platform ddraw dxguid)
target_link_options(quendralis PRIVATE -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
# The script names its files relative to data/ and takes its numbers from app/resource_ids.h; a change
# to any of those rebuilds the resources, which takes less than reading the script to find the few it names.
file(GLOB resource_files CONFIGURE_DEPENDS data/*)
list(APPEND resource_files ${CMAKE_SOURCE_DIR}/app/resource_ids.h)
set_source_files_properties(data/resources.rc PROPERTIES OBJECT_DEPENDS "${resource_files}")
target_include_directories(quendralis PRIVATE ${CMAKE_SOURCE_DIR}/data)
