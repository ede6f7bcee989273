# Checks a just-linked resource module: it must have no entry point and
# import nothing, so that loading it runs no code. A failing module is
# deleted so the next build makes it again. Arguments: -DOBJDUMP -DMODULE.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
                OUTPUT_VARIABLE headers RESULT_VARIABLE dumped ERROR_VARIABLE problem)
set(fault "")
if(NOT dumped EQUAL 0)
  set(fault "objdump failed: ${problem}")
elseif(NOT headers MATCHES "AddressOfEntryPoint[ \t]+0+\n")
  string(REGEX MATCH "AddressOfEntryPoint[^\n]*" entry "${headers}")
  set(fault "it has an entry point (${entry})")
elseif(headers MATCHES "DLL Name:")
  set(fault "it imports from another module")
elseif(NOT headers MATCHES "Entry 2 [0-9a-fA-F]+ [0-9a-fA-F]*[1-9a-fA-F][0-9a-fA-F]* Resource Directory")
  set(fault "it has no resource directory")
endif()
if(fault)
  file(REMOVE ${MODULE})
  message(FATAL_ERROR "${MODULE}: ${fault}")
endif()
