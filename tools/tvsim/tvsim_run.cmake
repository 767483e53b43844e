# Shared by tvsim's test scripts: a fresh copy of the sample tree's scripts
# and models in ${WORK}/data, and the tool run with arguments.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
file(REMOVE_RECURSE ${WORK})
file(COPY ${DATA}/tvdirs.tvs ${DATA}/levels ${DATA}/Qifs DESTINATION ${WORK}/data)
set(sample ${WORK}/data/levels/sample.tvs)
# One 32-bit word of a traced message in hex (CMake's regexes have no counts).
set(word "[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]")

# Runs the tool with ARGN; requires the exit status, leaves stdout in out and stderr in err.
function(tvsim status)
  execute_process(COMMAND ${TVSIM} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "tvsim ${ARGN}: exit status ${result}, expected ${status}\n${stdout}${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

# Fails unless TRACE holds a line matching each regex of ARGN, each line after
# the one before.
function(expect_in_order trace)
  set(rest "${trace}")
  foreach(regex IN LISTS ARGN)
    string(REGEX MATCH "${regex}[^\n]*\n" found "${rest}")
    if(found STREQUAL "")
      message(FATAL_ERROR "no line matching ${regex} after those of ${ARGN}")
    endif()
    string(FIND "${rest}" "${found}" at)
    string(LENGTH "${found}" length)
    math(EXPR at "${at} + ${length}")
    string(SUBSTRING "${rest}" ${at} -1 rest)
  endforeach()
endfunction()
