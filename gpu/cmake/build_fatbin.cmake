# Builds the kernels' fat binary with nvcc, checks what it holds, and writes
# ptxas's figures per kernel and architecture to a report:
#   cmake -DNVCC=... -DSOURCE=orv_cuda.cu -DFATBIN=out.fatbin -DREPORT=report.txt
#         -DWORK_DIR=dir -DARCHS=75,80,... -DKERNELS_HEADER=gpu/kernels.h -P build_fatbin.cmake
#
# sm_120 gets machine code and compute_120 PTX; every architecture of ARCHS
# gets machine code of its own, so that older GPUs run the kernels instead of
# falling back to the CPU. The script fails (and with it the build) unless
# every architecture holds exactly the two kernels under their device names,
# the tile takes its 1120 bytes of shared memory, and the colour rebuild fuses
# exactly where the source asks for it.
cmake_minimum_required(VERSION 3.25)

# The device names, from the header that the driver code and the emulator
# take them from: the denoise kernel first, then the profile kernel.
file(STRINGS "${KERNELS_HEADER}" name_lines REGEX "^ *\"_Z[A-Za-z0-9_]+\",")
set(expected_kernels)
foreach(line IN LISTS name_lines)
  string(REGEX MATCH "_Z[A-Za-z0-9_]+" name "${line}")
  list(APPEND expected_kernels ${name})
endforeach()
list(LENGTH expected_kernels kernel_count)
if(NOT kernel_count EQUAL 2)
  message(FATAL_ERROR "${KERNELS_HEADER} names ${kernel_count} kernels, not 2: '${expected_kernels}'")
endif()
list(GET expected_kernels 0 denoise_kernel)
set(tile_bytes 1120)
# Y, U, V and the three channels: two explicit fused steps each.
set(fused_steps 12)

string(REPLACE "," ";" archs "${ARCHS}")
set(all_archs 120 ${archs})
list(REMOVE_DUPLICATES all_archs)

set(flags -fatbin --fmad=false -O3 -std=c++17 -Xptxas -v)
set(gencode -gencode "arch=compute_120,code=[sm_120,compute_120]")
foreach(arch IN LISTS archs)
  if(NOT arch STREQUAL "120")
    list(APPEND gencode -gencode "arch=compute_${arch},code=sm_${arch}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${NVCC}" ${flags} ${gencode} --keep --keep-dir "${WORK_DIR}" -o "${FATBIN}" "${SOURCE}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
file(WRITE "${WORK_DIR}/nvcc.log" "${log}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nvcc failed (${status}):\n${log}")
endif()
execute_process(COMMAND "${NVCC}" --version OUTPUT_VARIABLE nvcc_version)
string(REGEX MATCH "release [^\n]*" nvcc_version "${nvcc_version}")

# ---- What ptxas compiled, per architecture ------------------------------------

function(short_name mangled out)
  if(mangled STREQUAL "${denoise_kernel}")
    set(${out} "orv_kernel<16,16>" PARENT_SCOPE)
  elseif(mangled MATCHES "orv_profile_sigma_kernel")
    set(${out} "orv_profile_sigma_kernel" PARENT_SCOPE)
  else()
    set(${out} "${mangled}" PARENT_SCOPE)
  endif()
endfunction()

# Brackets would confuse CMake's list handling; ptxas writes cmem[0].
string(REPLACE "[" "(" log_lines "${log}")
string(REPLACE "]" ")" log_lines "${log_lines}")
string(REPLACE ";" "," log_lines "${log_lines}")
string(REPLACE "\n" ";" log_lines "${log_lines}")

set(rows "")
set(problems "")
set(warnings "")
set(kernel "")
foreach(line IN LISTS log_lines)
  if(line MATCHES "Compiling entry function '([^']+)' for 'sm_([0-9a-z]+)'")
    set(kernel "${CMAKE_MATCH_1}")
    set(arch "${CMAKE_MATCH_2}")
    list(APPEND seen_archs ${arch})
    list(APPEND entries_${arch} ${kernel})
    set(stack 0)
    set(spill_st 0)
    set(spill_ld 0)
  elseif(kernel AND line MATCHES "([0-9]+) bytes stack frame, ([0-9]+) bytes spill stores, ([0-9]+) bytes spill loads")
    set(stack ${CMAKE_MATCH_1})
    set(spill_st ${CMAKE_MATCH_2})
    set(spill_ld ${CMAKE_MATCH_3})
  elseif(kernel AND line MATCHES "Used ([0-9]+) registers")
    set(regs ${CMAKE_MATCH_1})
    set(barriers 0)
    set(smem 0)
    if(line MATCHES "used ([0-9]+) barriers")
      set(barriers ${CMAKE_MATCH_1})
    endif()
    if(line MATCHES "([0-9]+) bytes smem")
      set(smem ${CMAKE_MATCH_1})
    endif()
    short_name("${kernel}" name)
    string(APPEND rows "sm_${arch}	${name}	${regs}	${barriers}	${smem}	${stack}	${spill_st}	${spill_ld}\n")
    if(kernel STREQUAL denoise_kernel AND NOT smem EQUAL tile_bytes)
      string(APPEND problems "sm_${arch}: orv_kernel uses ${smem} bytes of shared memory, not ${tile_bytes}\n")
    endif()
    if(spill_st GREATER 0 OR spill_ld GREATER 0)
      string(APPEND warnings "sm_${arch}: ${name} spills registers (${spill_st} bytes stored, ${spill_ld} loaded)\n")
    endif()
    set(kernel "")
  endif()
endforeach()

set(want ${expected_kernels})
list(SORT want)
foreach(arch IN LISTS all_archs)
  set(got ${entries_${arch}})
  list(SORT got)
  if(NOT got STREQUAL want)
    string(APPEND problems "sm_${arch}: device functions are '${got}', expected '${want}'\n")
  endif()
endforeach()
list(REMOVE_DUPLICATES seen_archs)
foreach(arch IN LISTS seen_archs)
  if(NOT arch IN_LIST all_archs)
    string(APPEND problems "unexpected machine code for sm_${arch}\n")
  endif()
endforeach()

# ---- The PTX: entry names, target, fused steps ---------------------------------

file(GLOB ptx_files "${WORK_DIR}/*.ptx")
if(NOT ptx_files)
  string(APPEND problems "nvcc kept no PTX in ${WORK_DIR}\n")
endif()
set(ptx_isa "")
foreach(ptx IN LISTS ptx_files)
  get_filename_component(ptx_name "${ptx}" NAME)
  file(STRINGS "${ptx}" entry_lines REGEX "^\\.visible \\.entry ")
  set(entries "")
  foreach(e IN LISTS entry_lines)
    string(REGEX REPLACE "^\\.visible \\.entry ([A-Za-z0-9_]+).*" "\\1" e "${e}")
    list(APPEND entries ${e})
  endforeach()
  list(SORT entries)
  if(NOT entries STREQUAL want)
    string(APPEND problems "${ptx_name}: entries are '${entries}', expected '${want}'\n")
  endif()
  file(STRINGS "${ptx}" fma_lines REGEX "^[ \t]*fma\\.rn\\.f32[ \t]")
  file(STRINGS "${ptx}" fused_lines REGEX "^[ \t]*(fma|mad)[.a-z]*\\.f32[ \t]")
  list(LENGTH fma_lines fma_count)
  list(LENGTH fused_lines fused_count)
  if(NOT fma_count EQUAL fused_steps OR NOT fused_count EQUAL fused_steps)
    string(APPEND problems
      "${ptx_name}: ${fused_count} fused float operations (${fma_count} fma.rn.f32), expected exactly ${fused_steps}\n")
  endif()
  if(ptx_name MATCHES "compute_120|^orv_cuda\\.ptx$")
    file(STRINGS "${ptx}" version_line REGEX "^\\.version ")
    file(STRINGS "${ptx}" target_line REGEX "^\\.target ")
    set(ptx_isa "${version_line}, ${target_line}")
    if(NOT target_line STREQUAL ".target sm_120")
      string(APPEND problems "${ptx_name}: PTX target is '${target_line}', expected sm_120\n")
    endif()
  endif()
endforeach()
if(NOT ptx_isa)
  string(APPEND problems "no compute_120 PTX was kept\n")
endif()

# The loader finds the kernels by these names in the fat binary itself.
file(SIZE "${FATBIN}" fatbin_size)
foreach(name IN LISTS expected_kernels)
  file(STRINGS "${FATBIN}" hits REGEX "${name}" LIMIT_COUNT 1)
  if(NOT hits)
    string(APPEND problems "the fat binary does not name ${name}\n")
  endif()
endforeach()

# The large preprocessed intermediates serve nothing after the checks.
file(GLOB intermediates "${WORK_DIR}/*.ii")
if(intermediates)
  file(REMOVE ${intermediates})
endif()

# ---- Report --------------------------------------------------------------------

string(REPLACE ";" " " flags_text "${flags} ${gencode}")
file(WRITE "${REPORT}"
"ptxas figures of the ORV kernels
nvcc: ${nvcc_version}
flags: ${flags_text}
PTX: ${ptx_isa}
fat binary: ${fatbin_size} bytes

arch	kernel	registers	barriers	smem_bytes	stack_bytes	spill_stores	spill_loads
${rows}")
if(warnings)
  file(APPEND "${REPORT}" "\nwarnings:\n${warnings}")
  message(WARNING "${warnings}")
endif()

if(problems)
  file(REMOVE "${FATBIN}")
  message(FATAL_ERROR "The kernels' fat binary is not what the module needs:\n${problems}")
endif()
