# Runs tvlevel on a scratch copy of the sample tree: the first load writes the
# level cache and the model's twins, the next reads them and writes nothing;
# queries as arguments and on standard input; a bare model file; bad queries;
# damaged caches are rebuilt.
# Arguments: TVLEVEL (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/tvlevel_run.cmake)
set(tree ${WORK}/data)

tvlevel(0 info)
expect_match("${out}" "^info 417 38416 [0-9]+ [0-9]+\n$")
set(info "${out}")
file(READ ${tree}/sample.cut head LIMIT 20 HEX)
expect_match("${head}" "^................ffff7f7fffff7f7fffff7f7f$")
foreach(f sample.cut Qifs/Level.opt Qifs/Level.loc)
  file(SHA256 ${tree}/${f} before_${f})
endforeach()

file(WRITE ${WORK}/queries.txt "ray 0 -5 -10 0 5 -10\nfloor -10 -1 5\n\nfloor 0 -1 3\nray 0 -2 -5 0 -2 5\n"
                                "floor 30 -1 30\ndummies\nplacements\n")
tvlevel_input(0 ${WORK}/queries.txt)
expect_match("${out}" "^hit 0.5 0 0 -10 [0-9]+\nfloor 0 [0-9]+\nfloor -0.75 [0-9]+\nnone\nnone\n")
expect_match("${out}" "\ndummy PlayerStart -10 0 -10\n")
expect_match("${out}" "\ndummy HumSound -6 -1 -6\n")
expect_match("${out}" "\nplacement [0-9]+ 1 ScoutLeader -16 0 -16 SCOUT1\n")
expect_match("${out}" "\nplacement [0-9]+ 2 Drone 0 0 17\n")
expect_match("${out}" "\nplacement [0-9]+ 0 EnergyCells 0 0 -3 CELLS\n")
expect_match("${out}" "\nplacement [0-9]+ 1 Fitted 13 0 -17 FITTED\n")
expect_match("${out}" "\ndummy Capture_3 17 0 -17\n")
expect_match("${out}" "\nplacement [0-9]+ 2 Turret -11 0 1 TURRET\n")
expect_match("${out}" "\ndummy exitd -7 0 18\n")
expect_match("${out}" "\ndummy dumpresr 15 0 9\n")
string(REGEX MATCHALL "placement" placements "${out}")
list(LENGTH placements count)
if(NOT count EQUAL 31)
  message(FATAL_ERROR "expected 31 placements, got ${count}:\n${out}")
endif()
foreach(f sample.cut Qifs/Level.opt Qifs/Level.loc)
  file(SHA256 ${tree}/${f} after)
  if(NOT after STREQUAL before_${f})
    message(FATAL_ERROR "${f} was written by the second load")
  endif()
endforeach()

# A bare model file: its first object with a shape, or the one named.
execute_process(COMMAND ${TVLEVEL} ${tree}/Qifs/Level.qif floor 0 -1 3 dummies
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect_match("${result}" "^0$")
expect_match("${out}" "^floor -0.75 [0-9]+\ndummy PlayerStart")
execute_process(COMMAND ${TVLEVEL} ${tree}/Qifs/Level.qif --object CameraPlane floor 0 -30 0
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect_match("${out}" "^floor -20 0\n$")
execute_process(COMMAND ${TVLEVEL} ${tree}/Qifs/Level.qif --object Nothing info
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect_match("${result}" "^1$")
expect_match("${err}" "has no object \"Nothing\" with a shape")

# Bad queries go to standard error; the good ones are still answered.
tvlevel(1 ray 1 2 floor 0 -1 3 jump path 0 0 0 1 1 1 banana)
expect_match("${out}" "^floor -0.75 [0-9]+\n$")
expect_match("${err}" "tvlevel: bad query: ray 1 2\n")
expect_match("${err}" "tvlevel: bad query: jump\n")
expect_match("${err}" "tvlevel: bad query: path 0 0 0 1 1 1 banana\n")

# Damaged caches: the cache and the twins are rebuilt and the level is the same.
file(WRITE ${tree}/sample.cut "not a level cache")
file(WRITE ${tree}/Qifs/Level.loc "QORINFF2")
file(READ ${tree}/Qifs/Level.opt opt LIMIT 64)
file(WRITE ${tree}/Qifs/Level.opt "${opt}")
tvlevel(0 info)
expect_match("${out}" "^${info}$")
file(READ ${tree}/sample.cut head LIMIT 20 HEX)
expect_match("${head}" "^................ffff7f7fffff7f7fffff7f7f$")
file(WRITE ${tree}/sample.cut "")
tvlevel(0 info)
expect_match("${out}" "^${info}$")
