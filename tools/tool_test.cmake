# Helpers of the command-line tools' script tests (cmake -P).

# Runs ${TOOL} with ARGN and requires the exit status; leaves standard output
# and standard error in `out` and `err`.
macro(run_tool status)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE tool_result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT tool_result EQUAL ${status})
    message(FATAL_ERROR "${TOOL} ${ARGN}: exit status ${tool_result}, expected ${status}\n${err}")
  endif()
endmacro()

function(expect_match text regex)
  if(NOT "${text}" MATCHES "${regex}")
    message(FATAL_ERROR "expected a match of\n${regex}\nin\n${text}")
  endif()
endfunction()

function(expect_same_file a b)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()
