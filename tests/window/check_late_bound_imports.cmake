# Fails if PROGRAM imports by name a function that Windows before 10 1607
# lacks: the program looks those up as it runs, so that it still starts there.
# With FUNCTIONS, the names to look for.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE Dump RESULT_VARIABLE Failed)
if(Failed)
  message(FATAL_ERROR "objdump could not read ${PROGRAM}")
endif()
foreach(Function IN LISTS FUNCTIONS)
  if(Dump MATCHES "[ \t]${Function}[\r\n]")
    message(FATAL_ERROR "${PROGRAM} imports ${Function}, which older Windows lacks")
  endif()
endforeach()
