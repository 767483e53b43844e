# Runs qiftool on the chunk-file seeds: dumps of a plain and of a packed file,
# errors naming the file (and the offset), and pack/unpack round trips.
# Arguments: QIFTOOL (the tool), SEEDS (the seed folder), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs the tool with ARGN, requires the exit status, leaves stdout/stderr in out/err.
function(qiftool status)
  execute_process(COMMAND ${QIFTOOL} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "qiftool ${ARGN}: exit status ${result}, expected ${status}\n${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)

function(expect_same_file a b)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${a} ${b} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()

qiftool(0 dump ${SEEDS}/plain.qif)
expect_match("${out}" "^QORINFF2 112 @0\n  QIFVERIN 16 @12 version 0\n  QIFFNAME 24 @28 name \"level.qif\"\n")
expect_match("${out}" "\n  ZZUNKNWN 12 @100 unknown\n$")
set(plain_dump "${out}")
qiftool(0 dump ${SEEDS}/packed.qif)
if(NOT out STREQUAL plain_dump)
  message(FATAL_ERROR "the packed file dumps differently:\n${out}")
endif()

qiftool(1 dump ${SEEDS}/malformed.qif)
expect_match("${err}" "malformed.qif: malformed at offset 28\n")
qiftool(1 dump ${WORK}/missing.qif)
expect_match("${err}" "missing.qif: cannot be read\n")
qiftool(1 pack ${SEEDS}/malformed.qif ${WORK}/never.qif)
qiftool(1 pack ${SEEDS}/plain.qif ${WORK}/no-such-folder/out.qif)
expect_match("${err}" "out.qif: cannot be written\n")
qiftool(1 unpack ${SEEDS}/plain.qif)
expect_match("${err}" "^usage: ")

qiftool(0 unpack ${SEEDS}/packed.qif ${WORK}/unpacked.qif)
expect_same_file(${WORK}/unpacked.qif ${SEEDS}/plain.qif)
qiftool(0 pack ${SEEDS}/plain.qif ${WORK}/packed.qif)
expect_same_file(${WORK}/packed.qif ${SEEDS}/packed.qif)
