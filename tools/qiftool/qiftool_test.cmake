# Runs qiftool on the chunk-file seeds: dumps of a plain and of a packed file,
# errors naming the file (and the offset), and pack/unpack round trips.
# Arguments: QIFTOOL (the tool), SEEDS (the seed folder), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

include(${CMAKE_CURRENT_LIST_DIR}/../tool_test.cmake)
set(TOOL ${QIFTOOL})

run_tool(0 dump ${SEEDS}/plain.qif)
expect_match("${out}" "^QORINFF2 112 @0\n  QIFVERIN 16 @12 version 0\n  QIFFNAME 24 @28 name \"level.qif\"\n")
expect_match("${out}" "\n  ZZUNKNWN 12 @100 unknown\n$")
set(plain_dump "${out}")
run_tool(0 dump ${SEEDS}/packed.qif)
if(NOT out STREQUAL plain_dump)
  message(FATAL_ERROR "the packed file dumps differently:\n${out}")
endif()

run_tool(1 dump ${SEEDS}/malformed.qif)
expect_match("${err}" "malformed.qif: malformed at offset 28\n")
run_tool(1 dump ${WORK}/missing.qif)
expect_match("${err}" "missing.qif: cannot be read\n")
run_tool(1 pack ${SEEDS}/malformed.qif ${WORK}/never.qif)
run_tool(1 pack ${SEEDS}/plain.qif ${WORK}/no-such-folder/out.qif)
expect_match("${err}" "out.qif: cannot be written\n")
run_tool(1 unpack ${SEEDS}/plain.qif)
expect_match("${err}" "^usage: ")

run_tool(0 unpack ${SEEDS}/packed.qif ${WORK}/unpacked.qif)
expect_same_file(${WORK}/unpacked.qif ${SEEDS}/plain.qif)
run_tool(0 pack ${SEEDS}/plain.qif ${WORK}/packed.qif)
expect_same_file(${WORK}/packed.qif ${SEEDS}/packed.qif)
