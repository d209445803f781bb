# cmake -DROOT=<source dir> -P check_layers.cmake
#
# The layers read one way: core/ includes nothing of the GPU or the host side,
# gpu/ nothing of the host side, the VapourSynth plugin nothing of the
# VirtualDub host or orv, and no product file includes test support.
# Includes are resolved as the compiler would (relative ones against the
# including file's folder), so "../host/x.h" counts as host/. Tests folders
# are test code and may reach into any layer.
#
# HACKING.md sends the next engineer to files by their paths: every path under
# a project folder it names in backticks must exist (placeholders in capitals,
# like NAME, aside).
cmake_minimum_required(VERSION 3.25)

# The project folders each product folder may include from.
set(allowed_core core)
set(allowed_gpu core gpu)
set(allowed_host core gpu host)
set(allowed_cli core gpu host cli)
set(allowed_vapoursynth core gpu vapoursynth)
set(project_folders core gpu host cli vapoursynth test_support bench fuzz)

set(violations "")
set(checked 0)
foreach(layer core gpu host cli vapoursynth)
  file(GLOB_RECURSE files RELATIVE "${ROOT}"
       "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.hpp" "${ROOT}/${layer}/*.c" "${ROOT}/${layer}/*.cpp"
       "${ROOT}/${layer}/*.cu" "${ROOT}/${layer}/*.cuh" "${ROOT}/${layer}/*.inl" "${ROOT}/${layer}/*.rc")
  foreach(file IN LISTS files)
    if(file MATCHES "/tests/")
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    get_filename_component(dir "${file}" DIRECTORY)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" target "${line}")
      # A relative include names a file beside the includer first.
      if(EXISTS "${ROOT}/${dir}/${target}")
        get_filename_component(target "${ROOT}/${dir}/${target}" ABSOLUTE)
        file(RELATIVE_PATH target "${ROOT}" "${target}")
      endif()
      string(REGEX MATCH "^[^/]+" top "${target}")
      if(top IN_LIST project_folders AND NOT top IN_LIST allowed_${layer})
        string(APPEND violations "  ${file}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

set(missing "")
file(READ "${ROOT}/HACKING.md" hacking)
string(REGEX MATCHALL "`[^`\n]+`" quoted "${hacking}")
foreach(q IN LISTS quoted)
  string(REGEX MATCHALL "[` ](core|gpu|host|cli|vapoursynth|test_support|bench|fuzz|cmake|scripts|docs)/[^` ]*" named "${q}")
  foreach(path IN LISTS named)
    string(SUBSTRING "${path}" 1 -1 path)
    set(paths "${path}")
    if(path MATCHES "^(.*){([^}]*)}(.*)$")  # core/cpu_features.{h,cpp}
      set(paths "")
      string(REPLACE "," ";" alternatives "${CMAKE_MATCH_2}")
      foreach(a IN LISTS alternatives)
        list(APPEND paths "${CMAKE_MATCH_1}${a}${CMAKE_MATCH_3}")
      endforeach()
    endif()
    foreach(p IN LISTS paths)
      if(NOT p MATCHES "[A-Z][A-Z][A-Z]" AND NOT EXISTS "${ROOT}/${p}")
        string(APPEND missing "  ${p}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no product source found under ${ROOT}")
endif()
if(violations)
  message(FATAL_ERROR "includes against the layers (core <- gpu <- host, no test support in product):\n${violations}")
endif()
if(missing)
  message(FATAL_ERROR "HACKING.md names paths that don't exist:\n${missing}")
endif()
message(STATUS "${checked} product files keep the layers; HACKING.md's paths exist")
