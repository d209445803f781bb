# The AVX2 unit may define nothing but its own kernels. Anything else it
# defines with external linkage (an inline function, a template instance) could
# be the copy the linker keeps for the whole module, and then AVX2 instructions
# would run on processors without AVX2.
execute_process(COMMAND ${NM} -C -g --defined-only ${OBJECTS}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${OBJECTS}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(kernels 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "" OR line MATCHES ":$")
    continue()
  endif()
  if(line MATCHES " [TtRrDdBb] orv::fast::[a-z_]+_avx2\\(")
    math(EXPR kernels "${kernels} + 1")
  elseif(NOT line MATCHES " [A-Za-z] __(asan|ubsan|odr_asan)")
    message(FATAL_ERROR "AVX2 unit defines a shared symbol: ${line}")
  endif()
endforeach()
if(kernels EQUAL 0)
  message(FATAL_ERROR "no AVX2 kernels found in ${OBJECTS}")
endif()
message(STATUS "${kernels} AVX2 kernels, nothing else shared")
