# Runs tvbank on the sample banks and on bad input.
# Arguments: TVBANK (the tool), SOUNDS (the sample banks), WAVES (their source waves), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)

# Runs tvbank with ARGN and requires the exit status; leaves standard output
# and standard error in `out` and `err`.
macro(run_tool status)
  execute_process(COMMAND ${TVBANK} ${ARGN} RESULT_VARIABLE tool_result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT tool_result EQUAL ${status})
    message(FATAL_ERROR "tvbank ${ARGN}: exit status ${tool_result}, expected ${status}\n${err}")
  endif()
endmacro()

run_tool(0 list ${SOUNDS}/UI.dat)
expect_match("${out}" "^0 click.wav wave 116 100 0 5 50 1764 22050 16 1
1 laser.wav wave 4 100 0 5 50 11024 22050 16 1
2 plasmahit.wav wave 103 100 0 10 60 13230 22050 16 1
3 menu_intro.wav wave -3 100 0 5 50 13230 22050 16 1
4 menu_loop.wav wave -4 100 0 5 50 44100 22050 16 1
5 menu_outro.wav wave -5 100 0 5 50 13230 22050 16 1
6 menu cue 0 3 -3 1 -4 -1 -5 1
$")
run_tool(0 list ${SOUNDS}/robots.dat)
expect_match("${out}" "^0 yes.wav wave 201 100 0 5 50 [0-9]+ 22050 16 1
1 acknowledged.wav wave 202 100 0 5 50 [0-9]+ 22050 16 1
2 moving.wav wave 203 100 0 5 50 [0-9]+ 22050 16 1
3 step.wav wave -3 100 0 5 50 3528 22050 16 1
4 servo.wav wave -4 100 0 5 50 17640 22050 16 1
5 acknowledge cue 1 3 201 2 202 1 203 1
$")
run_tool(0 list ${SOUNDS}/specials.dat)
expect_match("${out}" "^0 shot.wav wave 0 90 0 10 80 6614 22050 16 1\n1 explosion.wav wave -1 100 0 15 100 52920 22050 16 1\n2 plasmahit2.wav wave 104 100 0 10 60 11024 22050 16 1\n$")
run_tool(0 list ${SOUNDS}/environ.dat)
expect_match("${out}" "^0 wind.wav wave 0 100 0 20 60 88200 22050 16 1\n1 hum.wav wave -1 60 0 5 30 88200 22050 16 1\n$")

# An entry's image comes out as the wave it was built from.
run_tool(0 extract ${SOUNDS}/robots.dat 4 ${WORK}/servo.wav)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/servo.wav ${WAVES}/servo.wav RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "the extracted servo.wav differs from its source")
endif()
run_tool(1 extract ${SOUNDS}/robots.dat 5 ${WORK}/cue.wav)
expect_match("${err}" "entry 5 holds no wave image")
run_tool(1 extract ${SOUNDS}/robots.dat 6 ${WORK}/none.wav)

# A version-1 bank has no cue word: its cue reads as a wave record the game finds empty.
run_tool(0 build ${WORK}/old.dat --version 1 ${WAVES}/step.wav:volume=30 "cue:pick:random:step.wav*1,#7*2")
run_tool(0 list ${WORK}/old.dat)
expect_match("${out}" "^0 step.wav wave 0 30 0 5 50 3528 22050 16 1\n1 pick empty\n$")

# Bad items and banks: the reason on standard error, nothing written.
run_tool(1 build ${WORK}/bad.dat ${WORK}/missing.wav)
expect_match("${err}" "cannot read .*missing.wav")
run_tool(1 build ${WORK}/bad.dat ${WAVES}/step.wav:slot=0)
expect_match("${err}" "bad option 'slot=0'")
run_tool(1 build ${WORK}/bad.dat ${WAVES}/step.wav cue:c:random:nothere.wav*1)
expect_match("${err}" "bad member 'nothere.wav\\*1' of cue c")
run_tool(1 build ${WORK}/bad.dat "cue:c:shuffle:#1*1")
run_tool(1 build ${WORK}/bad.dat ${WAVES}/step.wav ${WAVES}/STEP.wav)
expect_match("${err}" "two entries named STEP.wav")
if(EXISTS ${WORK}/bad.dat)
  message(FATAL_ERROR "a failed build wrote its bank")
endif()
file(WRITE ${WORK}/text.wav "RIFF not really")
run_tool(1 build ${WORK}/bad.dat ${WORK}/text.wav)
expect_match("${err}" "text.wav: not a PCM wave")
run_tool(1 list ${WORK}/text.wav)
expect_match("${err}" "text.wav: not a sound bank")
