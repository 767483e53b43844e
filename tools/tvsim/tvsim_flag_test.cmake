# Capture the flag with two players on the sample level: the fitted robot of
# team 1, walked to team 3's flag and back to its team's capture point, takes
# the flag (90), scores with it (93, then 155 for team 1) and asks every
# machine to run CaptureFlag_team1.tcs (103).
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)

tvsim(0 ${sample} --passes 600 --seed 1 --game-type 5 --players 2 --walk FITTED Flag_1 --walk FITTED Capture_3
      --trace ${WORK}/trace.txt)
file(READ ${WORK}/trace.txt trace)
if(NOT trace MATCHES "S>C 90 12 5a000000(${word})03000000\n")
  message(FATAL_ERROR "no unit took team 3's flag")
endif()
set(robot ${CMAKE_MATCH_1})
string(HEX "CaptureFlag_team1.tcs" script)
expect_in_order("${trace}" "S>C 90 12 5a000000${robot}03000000" "S>C 93 12 5d000000${robot}03000000"
                "S>C 155 8 9b00000001000000" "S>C 103 [0-9]+ 67000000${script}00")
