# mirvane_delay_import(<target> <dll> <function@bytes>...)
#
# Makes an import library that binds the listed functions of <dll> at their
# first call rather than when the program starts, and links it to <target>
# ahead of the DLL's usual import library: a DLL that serves only later
# commands then costs nothing before the window shows. Each function is
# named with the bytes of its arguments, as 32-bit Windows decorates it; a
# function that is not listed binds at start as before.
function(mirvane_delay_import Target Dll)
  get_filename_component(Name ${Dll} NAME_WE)
  set(Def "${CMAKE_CURRENT_BINARY_DIR}/${Name}_delayed.def")
  set(Library "${CMAKE_CURRENT_BINARY_DIR}/lib${Name}_delayed.a")
  set(Exports "")
  foreach(Function IN LISTS ARGN)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      # 64-bit Windows has one calling convention and no decoration.
      string(REGEX REPLACE "@[0-9]+$" "" Function ${Function})
    else()
      # The 32-bit linker drops a stub reached only through its import
      # pointer, and the delayed pointer starts out at the stub.
      target_link_options(${Target} INTERFACE "LINKER:-u,_${Function}")
    endif()
    string(APPEND Exports "  ${Function}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${Def} CONTENT "LIBRARY ${Dll}\nEXPORTS\n${Exports}")
  # --kill-at: the DLL exports the names without the decoration. Made in
  # its folder, so that the library's symbols do not carry the build path.
  add_custom_command(OUTPUT ${Library}
                     COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${Def} --dllname ${Dll}
                             --output-delaylib lib${Name}_delayed.a
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                     DEPENDS ${Def} VERBATIM)
  add_custom_target(${Name}_delayed DEPENDS ${Library})
  add_dependencies(${Target} ${Name}_delayed)
  target_link_libraries(${Target} PUBLIC ${Library})
endfunction()
