# The console of a tvsim run: the sample command script prints its lines in
# order (its wait passing in game time, the script it queues running ahead of
# the rest) and ends the run with status 0; typed lines on standard input run
# as console lines; the quit command ends with status 1; an unreadable script
# is an error.
# Arguments: TVSIM (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/tvsim_run.cmake)
file(COPY ${DATA}/tvreseng.dll DESTINATION ${WORK}/data)
set(script ${WORK}/data/levels/sample.tcs)

tvsim(0 ${sample} --script ${script})
expect_in_order("${out}" "Sample script started\\." "Proceed to the marked area\\." "Urgent orders received\\."
                "Sample script finished\\." "STAGE = 2")
expect_match("${out}" "\nteam 1 alive [0-9]+\n")

# Standard input: one typed line a frame.
file(WRITE ${WORK}/typed.txt "TOKEN X\nSET X 4\nX\n")
execute_process(COMMAND ${TVSIM} ${sample} --console INPUT_FILE ${WORK}/typed.txt
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tvsim --console: exit status ${result}\n${out}${err}")
endif()
expect_match("${out}" "(^|\n)X = 4\n")

# Quit, typed or from a script, ends the tool with status 1.
file(WRITE ${WORK}/quit.tcs "TEXT before\nQUIT\nTEXT after\n")
tvsim(1 ${sample} --script ${WORK}/quit.tcs)
expect_match("${out}" "(^|\n)before\n")
if(out MATCHES "after" OR out MATCHES "team 1 alive")
  message(FATAL_ERROR "quit did not end the run:\n${out}")
endif()

tvsim(1 ${sample} --script ${WORK}/missing.tcs)
expect_match("${err}" "cannot read .*missing\\.tcs")

# With --passes the run ends there, whatever the script still waits for.
file(WRITE ${WORK}/long.tcs "REAL WAIT 100000\nTEXT late\n")
tvsim(0 ${sample} --script ${WORK}/long.tcs --passes 20)
if(out MATCHES "late")
  message(FATAL_ERROR "the wait did not hold:\n${out}")
endif()
