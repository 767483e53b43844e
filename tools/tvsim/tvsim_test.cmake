# Runs tvsim on a scratch copy of the sample tree: bad arguments and levels
# fail cleanly without output, and a run repeats byte for byte.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

# Bad arguments: each reported on standard error, status 1, no summary.
foreach(args "" "--passes;10" "${sample};--passes" "${sample};--passes;ten" "${sample};--passes;-1"
        "${sample};--passes;4294967296" "${sample};--seed;7x" "${sample};--seed;" "${sample};--fast"
        "${sample};${sample}" "${sample};--game-type;6" "${sample};--players;0" "${sample};--players;5"
        "${sample};--players;2" "${sample};--fetch;FITTED" "${sample};--walk")
  tvsim(1 ${args})
  expect_match("${out}" "^$")
  expect_match("${err}" "^tvsim: .+\nusage: tvsim LEVEL")
endforeach()

# Bad levels: missing, a directory, outside any tree, not a level, junk.
file(WRITE ${WORK}/loose/loose.tvs "role x { identifier \"X\" }\n")
file(WRITE ${WORK}/data/levels/nomap.tvs "role x { identifier \"X\" }\n")
file(WRITE ${WORK}/data/levels/junk.tvs "}{ map map { \"\n")
foreach(level "${WORK}/data/levels/missing.tvs" "${WORK}/data/levels" "${WORK}/loose/loose.tvs"
        "${WORK}/data/levels/nomap.tvs" "${WORK}/data/levels/junk.tvs")
  tvsim(1 ${level} --passes 2)
  expect_match("${out}" "^$")
  expect_match("${err}" "tvsim: ")
endforeach()
tvsim(1 ${sample} --passes 2 --trace ${WORK}/no/such/dir/trace.txt)
expect_match("${err}" "tvsim: cannot write ")

# Orders the level cannot carry out: no such unit or place, a fetch from a
# dummy, an attack by an actor that is no unit.
foreach(order "--walk;NOBODY;Flag_1" "--walk;FITTED;Nowhere" "--fetch;FITTED;Flag_1" "--attack;BOLTS;TargetPost")
  tvsim(1 ${sample} --passes 2 ${order})
  expect_match("${out}" "^$")
  expect_match("${err}" "^tvsim: [^\n]+\n$")
endforeach()

# The same arguments give the same summary and the same trace, whose lines
# are PASS DIR TYPE SIZE HEX with SIZE bytes of hex.
foreach(run 1 2)
  tvsim(0 ${sample} --passes 60 --seed 7 --trace ${WORK}/trace${run}.txt)
  set(out${run} "${out}")
  file(READ ${WORK}/trace${run}.txt trace${run})
endforeach()
# Team 0's units are the scavengers.
expect_match("${out1}" "^team 0 alive [0-9]+\nteam 1 alive [0-9]+\nteam 2 alive [0-9]+\nshots [0-9]+\ndeaths [0-9]+\n$")
if(NOT out1 STREQUAL out2 OR NOT trace1 STREQUAL trace2)
  message(FATAL_ERROR "two runs differ:\n${out1}\n${out2}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${trace1}")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([0-9]+) (S>C|C>S) (-?[0-9]+) ([0-9]+) ([0-9a-f]*)$")
    message(FATAL_ERROR "bad trace line: ${line}")
  endif()
  string(LENGTH "${CMAKE_MATCH_5}" digits)
  math(EXPR expected "${CMAKE_MATCH_4} * 2")
  if(NOT digits EQUAL expected)
    message(FATAL_ERROR "size and bytes differ: ${line}")
  endif()
endforeach()
