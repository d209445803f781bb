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

# orv_add_gtest(name SOURCES ... LIBS ...): one test executable. Natively each
# case is its own ctest test; under Wine the executable runs once as a whole,
# since listing cases would start Wine once more per executable at build time.
function(orv_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
