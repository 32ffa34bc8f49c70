# The show is defined to the bit, so every build does its floating-point arithmetic alike:
#  - no contraction of a multiply and an add into one fused instruction (which rounds once instead
#    of twice), whatever the target has: aarch64 and x86-64-v3 fuse by default;
#  - on 32-bit x86, SSE2 maths instead of the x87's, whose extended precision changes results
#    (255 * 0.6666666666666666 + 160.0 truncates to 329 on the x87, 330 in double precision).
# A compiler that cannot promise either is refused here rather than trusted to draw another show.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)

check_cxx_compiler_flag(-ffp-contract=off quendralis_has_fp_contract_off)
if(NOT quendralis_has_fp_contract_off)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not take -ffp-contract=off: its builds may fuse "
                      "multiplies and adds and draw a different show")
endif()
add_compile_options(-ffp-contract=off)

check_cxx_source_compiles("#if !defined(__i386__)\n#error not 32-bit x86\n#endif\nint main() {}"
                          quendralis_is_x86_32)
if(quendralis_is_x86_32)
  set(CMAKE_REQUIRED_FLAGS "-msse2 -mfpmath=sse")
  check_cxx_source_compiles([[
#if !defined(__SSE2_MATH__) || __FLT_EVAL_METHOD__ != 0
#error no SSE2 maths
#endif
int main() {}]] quendralis_has_sse2_math)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT quendralis_has_sse2_math)
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} cannot do its floating-point maths in SSE2 registers "
                        "(-msse2 -mfpmath=sse): the x87's extended precision draws a different show")
  endif()
  add_compile_options(-msse2 -mfpmath=sse)
endif()
