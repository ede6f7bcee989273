# Runs one command and checks its exit status, its exact standard output and
# a pattern of its standard error. Arguments (-D): COMMAND (a ;-list),
# EXIT, STDOUT (exact, may be empty), STDERR (a regular expression).
execute_process(COMMAND ${COMMAND}
                RESULT_VARIABLE exit_status
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
set(problems "")
if(NOT exit_status STREQUAL EXIT)
  string(APPEND problems "exit status ${exit_status}, expected ${EXIT}\n")
endif()
if(NOT out STREQUAL STDOUT)
  string(APPEND problems "standard output [${out}], expected [${STDOUT}]\n")
endif()
if(NOT err MATCHES "${STDERR}")
  string(APPEND problems "standard error [${err}] does not match [${STDERR}]\n")
endif()
if(problems)
  message(FATAL_ERROR "${COMMAND}:\n${problems}")
endif()
