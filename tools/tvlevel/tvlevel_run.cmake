# Shared by tvlevel's test scripts: a fresh copy of the sample tree's
# scripts and models in ${WORK}/data, and the tool run on it.
file(REMOVE_RECURSE ${WORK})
file(COPY ${DATA}/tvdirs.tvs ${DATA}/levels ${DATA}/Qifs DESTINATION ${WORK}/data)

# Runs the tool on the sample level with ARGN as queries; requires the exit
# status, leaves stdout in out and stderr in err.
function(tvlevel status)
  execute_process(COMMAND ${TVLEVEL} -w ${WORK}/data sample.tvs ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "tvlevel ${ARGN}: exit status ${result}, expected ${status}\n${stdout}${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

# The same with the queries of a file on standard input.
function(tvlevel_input status queries)
  execute_process(COMMAND ${TVLEVEL} -w ${WORK}/data sample.tvs INPUT_FILE ${queries}
                  RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "tvlevel < ${queries}: exit status ${result}, expected ${status}\n${stdout}${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
endfunction()
