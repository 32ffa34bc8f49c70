# The demo (app/, music/, render/, effects/) includes only the three platform headers, its own
# headers, the C++ standard library and the compiler's SIMD intrinsics: never SDL, libopenmpt or the OS.
set(std_headers
  algorithm array atomic bit cassert cmath cstddef cstdint cstdio cstdlib cstring functional iterator limits
  memory new numeric string string_view type_traits utility vector cstdarg climits cfloat
  emmintrin.h immintrin.h smmintrin.h tmmintrin.h wasm_simd128.h cpuid.h)
set(demo_headers platform/win32.h platform/ddraw.h platform/midas.h)
file(GLOB_RECURSE sources ${SOURCE_DIR}/app/* ${SOURCE_DIR}/music/* ${SOURCE_DIR}/render/* ${SOURCE_DIR}/effects/*)
set(bad "")
foreach(file IN LISTS sources)
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(header MATCHES "^(app|music|render|effects)/")
      continue()
    endif()
    list(FIND std_headers ${header} std_index)
    list(FIND demo_headers ${header} demo_index)
    if(std_index EQUAL -1 AND demo_index EQUAL -1)
      list(APPEND bad "${file}: ${header}")
    endif()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "The demo reaches past the platform headers:\n  ${text}")
endif()
