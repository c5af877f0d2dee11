# GoogleTest for the unit tests: the system package natively, and built from the
# sources that the same package ships when cross-building for Windows, so both
# builds run the same tests.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(MIRVANE_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  # A subdirectory takes the compile options in force when it is added.
  get_directory_property(_our_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(${MIRVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_our_options}")
else()
  find_package(GTest REQUIRED)
endif()

# Registers a test program with CTest: each test on its own natively, the whole
# program as one entry under Wine, where every start of a process is costly.
function(mirvane_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

# A Wine prefix is made once, before the first test that runs under Wine.
if(CMAKE_CROSSCOMPILING)
  add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix)
endif()
