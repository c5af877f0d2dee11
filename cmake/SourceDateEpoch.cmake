# Sets MIRVANE_SOURCE_DATE_EPOCH, the time that packages give their files: the
# SOURCE_DATE_EPOCH of the environment, else the time of the last commit, else
# (an unpacked source archive) the time of the top CMakeLists.txt. Needs
# MIRVANE_SOURCE_DIR. A new commit makes the build configure again, so that
# the packages take its time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(MIRVANE_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
  return()
endif()
execute_process(COMMAND git log -1 --format=%ct
                WORKING_DIRECTORY "${MIRVANE_SOURCE_DIR}"
                OUTPUT_VARIABLE MIRVANE_SOURCE_DATE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE _git_failed
                ERROR_QUIET)
if(_git_failed OR NOT MIRVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  file(TIMESTAMP "${MIRVANE_SOURCE_DIR}/CMakeLists.txt" MIRVANE_SOURCE_DATE_EPOCH "%s" UTC)
  return()
endif()
execute_process(COMMAND git rev-parse --absolute-git-dir
                WORKING_DIRECTORY "${MIRVANE_SOURCE_DIR}"
                OUTPUT_VARIABLE _git_dir
                OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(EXISTS "${_git_dir}/logs/HEAD")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_git_dir}/logs/HEAD")
endif()
