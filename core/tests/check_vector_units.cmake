# The vector units may define nothing but their own kernels. Anything else one
# defines with external linkage (an inline function, a template instance) could
# be the copy the linker keeps for the whole module, and then a set's
# instructions would run on processors without them. SETS: the sets' names,
# separated by |.
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
  # Besides the kernels: sanitizer bookkeeping and the unwinder's data word,
  # neither of them code.
  if(line MATCHES " [TtRrDdBb] orv::kernels::[a-z_]+_(${SETS})\\(")
    math(EXPR kernels "${kernels} + 1")
  elseif(NOT line MATCHES " [A-Za-z] (__(asan|ubsan|odr_asan)|DW\\.ref\\.__gxx_personality)")
    message(FATAL_ERROR "a vector unit defines a shared symbol: ${line}")
  endif()
endforeach()
if(kernels EQUAL 0)
  message(FATAL_ERROR "no vector kernels found in ${OBJECTS}")
endif()
message(STATUS "${kernels} vector kernels, nothing else shared")

# Nor may they hold a fused multiply-add: it rounds once where the colour
# arithmetic rounds twice, and the last bit of a pixel would change.
if(OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -d ${OBJECTS} OUTPUT_VARIABLE code RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${OBJECTS}")
  endif()
  string(REGEX MATCH "vf(n?)m(add|sub)[a-z0-9]*" fused "${code}")
  if(fused)
    message(FATAL_ERROR "a vector unit contains ${fused}")
  endif()
endif()
