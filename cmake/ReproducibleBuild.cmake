# Programs that do not depend on where or when they were built: the source
# and build folders are left out of debug data, assertion texts and build ids,
# and the build's own tools see the source date (cmake/SourceDateEpoch.cmake)
# as SOURCE_DATE_EPOCH; Qt's rcc, for one, would otherwise record when each
# resource file was checked out.
set(MIRVANE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${MIRVANE_SOURCE_DATE_EPOCH}")

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()
