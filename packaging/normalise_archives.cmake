# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS):
# rewrites each zip and .tar.gz so that it depends on nothing but the files
# it holds. cpack already dates the members by SOURCE_DATE_EPOCH but records
# the packing user as their owner, and file modes follow that user's umask.
# Here the members are sorted by name, owned by root, dated SOURCE_DATE_EPOCH,
# and 0755 or 0644. The .deb needs none of this: cpack's Debian generator
# already gives root, sorted names and the date, and the install folders are
# made 0755 (CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS).
cmake_minimum_required(VERSION 3.25)

set(Epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT Epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set")
endif()

function(Run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE Failed)
  if(Failed)
    list(JOIN ARGN " " Command)
    message(FATAL_ERROR "${Command}: ${Failed}")
  endif()
endfunction()

foreach(Package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT Package MATCHES "\\.(zip|tar\\.gz)$")
    continue()
  endif()
  set(Tree "${Package}.members")
  file(REMOVE_RECURSE "${Tree}")
  file(MAKE_DIRECTORY "${Tree}")
  Run(${CMAKE_COMMAND} -E chdir "${Tree}" ${CMAKE_COMMAND} -E tar xf "${Package}")
  Run(chmod -R u=rwX,go=rX "${Tree}")
  file(REMOVE "${Package}")
  if(Package MATCHES "\\.zip$")
    # Zip keeps local time; -X leaves out the owner and the extra time fields.
    Run(find "${Tree}" -exec touch -h -d @${Epoch} {} +)
    Run(sh -c "cd \"$0\" && find . -type f | LC_ALL=C sort | TZ=UTC zip -X -9 -q \"$1\" -@"
        "${Tree}" "${Package}")
  else()
    Run(sh -c "cd \"$0\" && LC_ALL=C tar --sort=name --owner=0 --group=0 --numeric-owner \
--mtime=@$2 --format=gnu -cf - * | gzip -9n > \"$1\"" "${Tree}" "${Package}" "${Epoch}")
  endif()
  file(REMOVE_RECURSE "${Tree}")
endforeach()
