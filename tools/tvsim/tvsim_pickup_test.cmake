# The fitted robot of the sample level, sent to the bolts pickup, collects it
# (118: kind 6, 30 rounds) and, ordered to attack, fires from that stack: no
# shot before the collection, shots after it, and fewer rounds at the end.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

tvsim(0 ${sample} --passes 400 --seed 1 --fetch FITTED BOLTS --attack FITTED TargetPost --trace ${WORK}/trace.txt)
file(READ ${WORK}/trace.txt trace)
if(NOT trace MATCHES "S>C 118 24 76000000(${word})06000000${word}${word}1e000000\n")
  message(FATAL_ERROR "no unit collected 30 rounds")
endif()
set(robot ${CMAKE_MATCH_1})
string(FIND "${trace}" "S>C 70 64 46000000${robot}" firstShot)
string(FIND "${trace}" "S>C 118 24 76000000${robot}" collected)
if(firstShot EQUAL -1 OR firstShot LESS collected)
  message(FATAL_ERROR "the robot's first shot (at ${firstShot}) does not follow its collection (at ${collected})")
endif()
if(NOT out MATCHES "\nunit FITTED rounds ([0-9]+)\n$" OR NOT CMAKE_MATCH_1 LESS 30)
  message(FATAL_ERROR "the rounds the robot carries did not fall:\n${out}")
endif()
