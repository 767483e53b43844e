# The route a unit plans across the sample level's middle wall: through its
# gap, over the waypoint graph the first load builds and caches (.map).
# Arguments: TVLEVEL (the tool), DATA (the built sample tree), WORK (scratch folder).
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/tvlevel_run.cmake)

foreach(run first second)
  tvlevel(0 path -9 -1 5 -9 -1 17 path -9 -1 5 -9 -1 5 path -9 -1 5 -9 -1 17 0x800)
  expect_match("${out}" "^path [0-9]+ [0-9.]+\n-9 0 5 [0-9]+\n")
  # A gap tile (x 8 to 12 m, z 12 to 14 m) and the goal's tile.
  expect_match("${out}" "\n(9|11) 0 13 [0-9]+\n")
  expect_match("${out}" "\n-9 0 17 [0-9]+\npath 1 0\n-9 0 5 [0-9]+\npath ")
  if(run STREQUAL "first")
    file(SHA256 ${WORK}/data/sample.map graph)
  else()
    file(SHA256 ${WORK}/data/sample.map again)
    if(NOT again STREQUAL graph)
      message(FATAL_ERROR "sample.map was written by the second load")
    endif()
  endif()
endforeach()
