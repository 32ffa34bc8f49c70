# The browser build (emscripten): the demo over platform/web/ as one static folder, build/web/site/
# (index.html, quendralis.js, quendralis.wasm, quendralis.xm), and the capture as WebAssembly for
# node, which must give the native capture's bytes. libopenmpt comes from Debian's own source
# package, built once into a cache outside the build tree (cmake/libopenmpt.sh).
find_program(QUENDRALIS_NODE node REQUIRED)
# Debian's emcc finds its acorn there under any node; node loads a .wasm from a file path only
# without its experimental fetch. Both apply to everything that runs node or links.
set(node_environment NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch)
set(ENV{NODE_PATH} /usr/share/nodejs)
set(ENV{NODE_OPTIONS} --no-experimental-fetch)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env ${node_environment})
set(QUENDRALIS_NODE_COMMAND ${CMAKE_COMMAND} -E env ${node_environment} ${QUENDRALIS_NODE})

# No fused multiply-adds, as everywhere. Bulk memory makes a large memcpy or fill one instruction
# instead of a call out to JavaScript, and non-trapping conversions make a float-to-int one
# instruction instead of a range test around one; every browser with WebAssembly SIMD has both.
# libopenmpt catches its own exceptions (it is built with them; our code is not). String literals
# lie above 0x10000, where no resource id is.
add_compile_options(-ffp-contract=off -mbulk-memory -mnontrapping-fptoint)
add_link_options(-mbulk-memory -mnontrapping-fptoint -sDISABLE_EXCEPTION_CATCHING=0 -sGLOBAL_BASE=65536 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)

execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/libopenmpt.sh emscripten
                OUTPUT_VARIABLE openmpt_prefix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE openmpt_result)
if(NOT openmpt_result EQUAL 0 OR NOT EXISTS ${openmpt_prefix}/lib/libopenmpt.a)
  message(FATAL_ERROR "libopenmpt for the web could not be built")
endif()
message(STATUS "libopenmpt for the web: ${openmpt_prefix}")
add_library(openmpt STATIC IMPORTED)
set_target_properties(openmpt PROPERTIES
  IMPORTED_LOCATION ${openmpt_prefix}/lib/libopenmpt.a
  INTERFACE_INCLUDE_DIRECTORIES ${openmpt_prefix}/include)

# The resource table, made by tools/embed run under node: with the module for the capture (as the
# native build), without it for the page, which ships the module once, as a file of its own.
add_executable(embed tools/embed/embed.cpp)
target_link_options(embed PRIVATE -sNODERAWFS=1)
quendralis_add_resources(quendralis_resources_with_module COMMAND ${QUENDRALIS_NODE_COMMAND} $<TARGET_FILE:embed>
                         MODULE ${quendralis_module})
quendralis_add_resources(quendralis_resources_without_module COMMAND ${QUENDRALIS_NODE_COMMAND} $<TARGET_FILE:embed>)

# The demo, the platform layer and the virtual host, as on Linux.
quendralis_add_demo(STATIC)
quendralis_add_hosted_platform()
target_link_libraries(quendralis_platform PUBLIC openmpt)

# The capture under node, reading and writing the machine's own files.
file(GLOB capture_sources CONFIGURE_DEPENDS platform/capture/*.cpp)
list(FILTER capture_sources EXCLUDE REGEX "/video_writer\\.cpp$")
add_executable(quendralis-capture ${capture_sources} platform/web/no_video_writer.cpp)
target_include_directories(quendralis-capture PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(quendralis-capture PRIVATE quendralis_virtual quendralis_demo quendralis_platform
                      quendralis_resources_with_module)
target_link_options(quendralis-capture PRIVATE -sNODERAWFS=1)

# The show's mean frame time under node, beside the native one (bench/web_ratio.sh).
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/kit ${CMAKE_BINARY_DIR}/tests/kit)
add_executable(quendralis-bench-show bench/show/main.cpp bench/show_play.cpp)
target_include_directories(quendralis-bench-show PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(quendralis-bench-show PRIVATE quendralis_test_kit quendralis_demo quendralis_platform
                      quendralis_resources_with_module)
target_link_options(quendralis-bench-show PRIVATE -sNODERAWFS=1)

# The page: the demo's own frame loop yields to the browser once per presented frame.
set(site_dir ${CMAKE_BINARY_DIR}/site)
set(web_sources platform/web/main.cpp platform/web/web_host.cpp)
add_executable(quendralis ${web_sources})
target_link_libraries(quendralis PRIVATE quendralis_demo quendralis_platform quendralis_resources_without_module)
set(web_page ${CMAKE_SOURCE_DIR}/platform/web/index.html)
set_target_properties(quendralis PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site_dir} LINK_DEPENDS ${web_page})
target_link_options(quendralis PRIVATE -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sMODULARIZE=1
  -sEXPORT_NAME=createQuendralis -sENVIRONMENT=web -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS)
add_custom_command(TARGET quendralis POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${web_page} ${quendralis_module} ${site_dir}
  COMMENT "Completing the site in ${site_dir}")

# The tests' build of the page, in site-fault/: the font's resource is missing, so a set-up step
# fails and the page shows the demo's message box.
add_executable(quendralis-fault ${web_sources})
target_link_libraries(quendralis-fault PRIVATE quendralis_demo quendralis_platform quendralis_resources_without_module)
target_compile_definitions(quendralis-fault PRIVATE QUENDRALIS_WEB_MISSING_RESOURCE=IDR_FONT)
get_target_property(page_options quendralis LINK_OPTIONS)
set_target_properties(quendralis-fault PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/site-fault
                      OUTPUT_NAME quendralis LINK_OPTIONS "${page_options}")
add_custom_command(TARGET quendralis-fault POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${web_page} ${quendralis_module} ${CMAKE_BINARY_DIR}/site-fault)

if(QUENDRALIS_BUILD_TESTS)
  enable_testing()
  # The native capture's hashes for the whole show against those of this one, under node.
  set(QUENDRALIS_NATIVE_CAPTURE ${CMAKE_SOURCE_DIR}/build/release/quendralis-capture CACHE FILEPATH
      "The native capture that the WebAssembly one must equal")
  add_test(NAME web.capture_hashes
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/web/capture_hashes.sh ${QUENDRALIS_NODE}
                   $<TARGET_FILE:quendralis-capture> ${QUENDRALIS_NATIVE_CAPTURE} ${CMAKE_SOURCE_DIR}/data)
  add_test(NAME web.browser
           COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/web/browser_test.py ${site_dir}
                   ${CMAKE_BINARY_DIR}/site-fault)
  set_tests_properties(web.capture_hashes web.browser PROPERTIES ENVIRONMENT "${node_environment}")
endif()
