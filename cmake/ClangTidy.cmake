# clang-tidy over the portable code, as a test: any warning fails it. The
# portable sources are found by name, so that a new one is checked too: every
# .cpp of conversion/, dialogs/ and window/ except those of one platform
# (*_win.cpp, *_qt.cpp) and the front ends' own folders.
find_program(CLANG_TIDY clang-tidy REQUIRED)
file(GLOB _portable_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/conversion/*.cpp
     ${PROJECT_SOURCE_DIR}/dialogs/*.cpp
     ${PROJECT_SOURCE_DIR}/window/*.cpp)
list(FILTER _portable_sources EXCLUDE REGEX "_(win|qt)\\.cpp$")
add_test(NAME clang_tidy
  COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet ${_portable_sources}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
# It takes tens of seconds alone, minutes on a busy machine.
set_tests_properties(clang_tidy PROPERTIES TIMEOUT 900)
