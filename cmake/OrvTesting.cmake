# GoogleTest for both worlds: Debian's libgtest-dev natively, and the same
# googletest sources built with mingw for the Windows tests under Wine.
if(CMAKE_CROSSCOMPILING)
  set(ORV_GTEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ORV_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# Where the fake NVIDIA driver is built (test_support/fake_cuda).
set(ORV_FAKE_CUDA_DIR ${CMAKE_BINARY_DIR}/fake-cuda)

# orv_add_gtest(name SOURCES ... LIBS ... [ROUTE CPU|ANY|FAKE_GPU]): one test
# executable. Natively each case is its own ctest test; under Wine the
# executable runs once as a whole, since listing cases would start Wine once
# more per executable at build time.
#
# ROUTE says which driver the module under test meets, so that no result
# depends on the machine's own:
#   CPU (default): no device is visible (CUDA_VISIBLE_DEVICES empty, which the
#     NVIDIA driver and the fake both honour), so every frame takes the CPU route.
#   FAKE_GPU: the fake driver; natively on the library path, under Wine in the
#     system folder of a prefix of its own (the other tests' prefix has none).
#     CUDA_VISIBLE_DEVICES is taken out of its environment: the caller's may
#     hide every device (set and empty), and the fake honours that too.
#   ANY: the machine's driver, whatever it is (tests that look for a device).
function(orv_add_gtest name)
  cmake_parse_arguments(T "" "ROUTE" "SOURCES;LIBS" ${ARGN})
  if(NOT T_ROUTE)
    set(T_ROUTE CPU)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  set(env)
  set(props)
  if(T_ROUTE STREQUAL "CPU")
    set(env "CUDA_VISIBLE_DEVICES=")
  elseif(T_ROUTE STREQUAL "FAKE_GPU")
    add_dependencies(${name} orv_fake_cuda)
    if(CMAKE_CROSSCOMPILING)
      set(env "ORV_WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix-gpu"
              "ORV_WINE_SYSTEM_DLL=${ORV_FAKE_CUDA_DIR}/nvcuda.dll")
    else()
      set(env "LD_LIBRARY_PATH=${ORV_FAKE_CUDA_DIR}")
    endif()
    set(props ENVIRONMENT_MODIFICATION "CUDA_VISIBLE_DEVICES=unset:")
  elseif(NOT T_ROUTE STREQUAL "ANY")
    message(FATAL_ERROR "orv_add_gtest(${name}): ROUTE is CPU, FAKE_GPU or ANY, not ${T_ROUTE}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    if(env)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" ${props})
    endif()
  elseif(env)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${env}" ${props})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# orv_add_skipped_test(name reason): a test that this build cannot run, shown
# as skipped with its reason rather than left out without a word.
function(orv_add_skipped_test name reason)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
endfunction()
