# The sample level's centipede, node and turret with a fixed seed: the centipede's head
# links its five segments in a chain (138), the node makes actors (110), at
# most five as its generation limit says, and the turret, the one shooter of
# the laser weapon (type 19), rises (74) before its first shot (70); a second
# run gives the same trace.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

set(run ${sample} --passes 600 --seed 3)
tvsim(0 ${run} --trace ${WORK}/trace1.txt)
set(summary "${out}")
file(READ ${WORK}/trace1.txt trace)

string(REGEX MATCHALL "S>C 138 12 8a000000${word}${word}\n" links "${trace}")
list(LENGTH links count)
if(NOT count EQUAL 5)
  message(FATAL_ERROR "${count} centipede links:\n${links}")
endif()
set(previous "")
foreach(link IN LISTS links)
  string(SUBSTRING "${link}" 19 8 from)
  string(SUBSTRING "${link}" 27 8 to)
  if(NOT previous STREQUAL "" AND NOT from STREQUAL previous)
    message(FATAL_ERROR "the centipede's links do not make a chain:\n${links}")
  endif()
  set(previous "${to}")
endforeach()

string(REGEX MATCHALL "S>C 110 20 6e000000" made "${trace}")
list(LENGTH made count)
if(count LESS 1 OR count GREATER 5)
  message(FATAL_ERROR "the node made ${count} actors")
endif()

# Message 70: shooter, target, definition, team, time, launch point,
# orientation, speed, then the weapon type and the shot's id.
set(words "${word}${word}${word}${word}${word}${word}${word}${word}${word}${word}${word}${word}")
if(NOT trace MATCHES "S>C 70 64 46000000(${word})${words}13000000${word}\n")
  message(FATAL_ERROR "the turret never fired")
endif()
set(turret ${CMAKE_MATCH_1})
expect_in_order("${trace}" "S>C 74 8 4a000000${turret}\n" "S>C 70 64 46000000${turret}")

tvsim(0 ${run} --trace ${WORK}/trace2.txt)
file(READ ${WORK}/trace2.txt again)
if(NOT out STREQUAL summary OR NOT again STREQUAL trace)
  message(FATAL_ERROR "the second run differs")
endif()
