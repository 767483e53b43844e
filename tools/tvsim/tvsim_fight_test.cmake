# The sample fight with a fixed seed: by the last pass one side has no live
# unit; the trace holds the fighting messages at their sizes, a mine's blast
# and a minebot's chase, and every explosion of a unit follows its message
# 61; a second run, on the caches the first wrote, gives the same trace.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

set(fight ${sample} --passes 2400 --seed 1)
tvsim(0 ${fight} --trace ${WORK}/trace1.txt)
set(summary "${out}")
expect_match("\n${summary}" "\nteam [12] alive 0\n")
expect_match("${summary}" "\nshots [1-9][0-9]*\ndeaths [1-9][0-9]*\n$")
file(READ ${WORK}/trace1.txt trace)
# 65 the bot's aim (16), 70 a shot (64), 71 its strike (29), 55 a damage report (20).
foreach(message "65 16 41000000" "70 64 46000000" "71 29 47000000" "55 20 37000000")
  expect_match("${trace}" "S>C ${message}")
endforeach()

# A mine on the scouts' way goes off (108) and its blast reports damage (55)
# in the same pass; the minebot sets off after a quarry (182: its position,
# 20.0 and 0x00030001).
if(NOT trace MATCHES "\n([0-9]+) S>C 108 16 6c000000[0-9a-f]+\n")
  message(FATAL_ERROR "no mine went off")
endif()
set(blastPass ${CMAKE_MATCH_1})
string(FIND "${trace}" "${CMAKE_MATCH_0}" blast)
string(SUBSTRING "${trace}" ${blast} -1 afterBlast)
if(NOT afterBlast MATCHES "^\n${blastPass} S>C 108 [^\n]*\n(${blastPass} [^\n]*\n)*${blastPass} S>C 55 20 ")
  message(FATAL_ERROR "no blast damage follows the mine of pass ${blastPass}")
endif()
expect_match("${trace}" "S>C 182 24 b6000000${word}${word}${word}0000a04101000300\n")

# Each death (a unit whose Die ran) sends 72 (56), or, for a unit that
# explodes, its motion message 61 (56) and then 107.
string(REGEX MATCHALL "S>C 72 56 48000000[0-9a-f]+" plain "${trace}")
string(REGEX MATCHALL "S>C 107 12 6b000000[0-9a-f]+" exploded "${trace}")
list(LENGTH plain plainCount)
list(LENGTH exploded explodedCount)
string(REGEX MATCH "deaths ([0-9]+)" deaths "${summary}")
math(EXPR seen "${plainCount} + ${explodedCount}")
if(seen LESS CMAKE_MATCH_1 OR plainCount GREATER CMAKE_MATCH_1)
  message(FATAL_ERROR "${CMAKE_MATCH_1} deaths, ${plainCount} messages 72 and ${explodedCount} explosions")
endif()
if(explodedCount EQUAL 0)
  message(FATAL_ERROR "no unit exploded")
endif()
foreach(line IN LISTS exploded)
  string(SUBSTRING "${line}" 19 8 id)
  string(FIND "${trace}" "S>C 61 56 3d000000${id}" before)
  string(FIND "${trace}" "${line}" at)
  if(before EQUAL -1 OR before GREATER at)
    message(FATAL_ERROR "no 61 before ${line}")
  endif()
endforeach()

tvsim(0 ${fight} --trace ${WORK}/trace2.txt)
file(READ ${WORK}/trace2.txt again)
if(NOT out STREQUAL summary OR NOT again STREQUAL trace)
  message(FATAL_ERROR "the second run differs")
endif()
