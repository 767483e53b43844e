# The sample level with a headless client beside the server, 200 passes (the
# scouts' leader carries no rounds at the start, so by pass 500 the drones may
# have taken the scouts' whole side, whose twins the run also checks): every
# live actor but the projectiles has exactly one twin with its id, definition
# and team, and no client object but a fragment lacks its actor, so the
# objects the map places (the crate and the hulk among them) carry the same
# ids on both sides; the client applied every record; the same seed gives the
# same summary and trace.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

foreach(run 1 2)
  tvsim(0 ${sample} --client --passes 200 --seed 1 --trace ${WORK}/trace${run}.txt)
  set(out${run} "${out}")
  file(READ ${WORK}/trace${run}.txt trace${run})
endforeach()
if(NOT out1 STREQUAL out2 OR NOT trace1 STREQUAL trace2)
  message(FATAL_ERROR "two runs differ:\n${out1}\n${out2}")
endif()
expect_match("${out1}" "^team 0 alive [0-9]+\nteam 1 alive [0-9]+\nteam 2 alive [0-9]+\nshots [1-9][0-9]*\ndeaths [0-9]+\n")
expect_match("${out1}" "\nclient team 0 objects [1-9][0-9]*\nclient team 1 objects [1-9][0-9]*\n")
expect_match("${out1}" "\ntwins matched [1-9][0-9]* missing 0 extra 0\nlargest twin distance [0-9]+\\.[0-9][0-9][0-9]\n")
expect_match("${out1}" "\ndropped 0\n$")
