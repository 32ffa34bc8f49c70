# Which kernel sets a build compiles, and with which instructions: chosen by the target and by the
# file's name (*_sse2.cpp, *_avx2.cpp, *_avx512.cpp), the one place that knows either. render/kernel_sets.h
# picks the same sets with the same test on the compiler's own macros.
#   x86 (32 and 64 bits): every set; render/kernels.cpp picks the fastest the processor has at run time.
#   Emscripten: the SSE2 file over WebAssembly SIMD through emscripten's SSE headers, no AVX files;
#     the whole program is compiled for SIMD, so the SSE2 set is the one chosen at compile time.
#   Any other processor: the plain kernels only.

if(EMSCRIPTEN)
  set(quendralis_instruction_sets sse2)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  set(quendralis_instruction_sets sse2 avx2 avx512)
else()
  set(quendralis_instruction_sets "")
endif()

# The flags of one set on x86. AVX-512 includes the byte permutes (VBMI) that the palette expansion uses.
set(quendralis_x86_flags_sse2 -msse2)
set(quendralis_x86_flags_avx2 -mavx2)
set(quendralis_x86_flags_avx512 -mavx2 -mavx512f -mavx512bw -mavx512vbmi)

# The flags that a set's file is compiled with on this target.
function(quendralis_instruction_set_flags set out)
  if(EMSCRIPTEN)
    set(${out} -msse2 PARENT_SCOPE)
  else()
    set(${out} ${quendralis_x86_flags_${set}} PARENT_SCOPE)
  endif()
endfunction()

# Adds render/'s sources to `target`: every file that needs no particular instructions, and the files
# of the sets this target has, each with its own flags. Every build of the demo calls this.
function(quendralis_add_render_sources target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/render/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_(sse2|avx2|avx512)\\.cpp$")
  target_sources(${target} PRIVATE ${sources})
  foreach(set IN LISTS quendralis_instruction_sets)
    file(GLOB set_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/render/*_${set}.cpp)
    quendralis_instruction_set_flags(${set} flags)
    set_source_files_properties(${set_sources} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS "${flags}")
    target_sources(${target} PRIVATE ${set_sources})
  endforeach()
  if(EMSCRIPTEN)
    # Everything that calls the kernels sees __wasm_simd128__ and so the same sets as render/.
    target_compile_options(${target} PUBLIC -msimd128)
  endif()
endfunction()

# For tests/windows_headers.sh, which compiles render/ with the 32-bit Windows compiler on any build
# machine: a line `file flags...` for every file of a set, with its x86 flags.
function(quendralis_write_x86_flags path)
  set(text "")
  foreach(set sse2 avx2 avx512)
    file(GLOB set_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/render/*_${set}.cpp)
    foreach(file IN LISTS set_sources)
      list(JOIN quendralis_x86_flags_${set} " " flags)
      string(APPEND text "${file} ${flags}\n")
    endforeach()
  endforeach()
  file(WRITE ${path} "${text}")
endfunction()
