# Runs tvsc --apply as the game applies scripts: the sample tree's directory
# script and level, and scripts whose diagnostics fail the run.
# Arguments: TVSC (the tool), DATA (the built sample tree), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs the tool in DIR with ARGN, requires the exit status, leaves stdout in out.
function(tvsc status dir)
  execute_process(COMMAND ${TVSC} --apply ${ARGN} WORKING_DIRECTORY ${dir}
                  RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "tvsc --apply ${ARGN}: exit status ${result}, expected ${status}\n${stdout}${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)

# On a copy of the sample tree's strings, scripts and models: the sample map writes
# the level model's twins beside it.
file(COPY ${DATA}/tvdirs.tvs ${DATA}/tvreseng.dll ${DATA}/levels ${DATA}/Qifs DESTINATION ${WORK}/data)
tvsc(0 ${WORK}/data --directory tvdirs.tvs levels/sample.tvs)
expect_match("${out}" "^directory 0 scripts \"levels\"\ndirectory 1 fmvs \"movies\"\ndirectory 2 qifs \"Qifs\"\n")
expect_match("${out}" "\ndirectory 5 fonts \"fonts\"\ndirectory 6 dumps \"screenshots\"\n")
expect_match("${out}" "\ndefinition 0 \"Scout\"\n  reconName = \"Scout\"\n")
expect_match("${out}" "\n  model = \"Robot.qif\" \"Robot\"\n  particleGenerator\n    type = 0\n    colourMode = 5\n")
expect_match("${out}" "\n  hotspotName = \"Muzzle\"\n")
expect_match("${out}" "\n  character\n    walkingSpeed = 147456\n    turningSpeed = 3072\n")
expect_match("${out}" "\n    strideLength = 1.5\n")
expect_match("${out}" "\n    aggression = 0.899999976\n")
expect_match("${out}" "\n  destruction\n    kind = 3\n    role = definition 3 \"DroneDebris\"\n    replaceRole = none\n")
expect_match("${out}" "\n  severPoints = \"gun\" \"body\"\n")
expect_match("${out}" "\nweapon 0 ammo 2\n  roundTime = 0.25\n  reloadTime = 1.5\n")
expect_match("${out}" "\n  projectile = definition 4 \"ScoutShot\"\n  firingSpeed = 30\nweapon 16 ammo 2\n")
expect_match("${out}" "\nammo type 2\n  model = none\n  shape = \"Box.qif\" \"Box\"\n  nameStringId = 7313\n")
expect_match("${out}" "\nammo type 8\n  model = \"Robot.qif\" \"Drone\"\n")
expect_match("${out}" "\n0 errors, [0-9]+ warnings\n$")

# Diagnostics of the apply itself count, and files are applied in order.
file(WRITE ${WORK}/beam.tvs [[
light lamp { red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }
role zapper { identifier "Zapper" character none light lamp projectile none destructibility none
              alpha fogging no per vertex fogging no interface beam effect script }
role plain { identifier "Plain" character none light lamp projectile none destructibility none
             alpha fogging no per vertex fogging no }
]])
tvsc(1 ${WORK} beam.tvs beam.tvs)
expect_match("${out}" "\nbeam.tvs:[0-9]+: error: interface beam effect is script but no script given\n")
expect_match("${out}" "\ndefinition 1 \"Plain\"\n")
expect_match("${out}" "\n2 errors, [0-9]+ warnings\n$")

tvsc(1 ${WORK} missing.tvs)
expect_match("${out}" "^missing.tvs:[0-9]+: error: unable to open file 'missing.tvs'\n")
expect_match("${out}" "\n1 errors, 1 warnings\n$")
