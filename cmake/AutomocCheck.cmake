# Moc runs only for targets that link Qt themselves: it costs a build step per
# target and reads every header for Qt's macros. Configuring stops at a target
# below DIR that asks for moc without naming a Qt library among its own.
function(mirvane_check_automoc dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(automoc ${target} AUTOMOC)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(automoc AND NOT libraries MATCHES "(^|;)Qt6::")
      message(FATAL_ERROR "${target} runs moc but links no Qt library itself")
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    mirvane_check_automoc(${subdirectory})
  endforeach()
endfunction()
