#!/usr/bin/env bash
# Builds and runs every test twice: the Debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/asan), and the optimized build the program
# ships as, compiled by Clang like tools/build.sh (build/opt). A third build
# under ThreadSanitizer (build/tsan) runs the tests of the server and the
# simulation, where two threads share state.
# "tools/run-tests.sh asan", "opt" or "tsan" runs one of them; without an
# argument all three run.
set -euo pipefail
cd "$(dirname "$0")/.."
builds=("${@:-asan opt tsan}")
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 TSAN_OPTIONS=halt_on_error=1
for build in ${builds[*]}; do
  case "$build" in
    asan) options=(-DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON) ;;
    opt) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_SANITIZE=OFF
                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    tsan) options=(-DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE_THREAD=ON) ;;
    *) echo "run-tests.sh: unknown build '$build' (asan, opt or tsan)" >&2; exit 2 ;;
  esac
  dir=build/$build
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja "${options[@]}" -DTAVRIN_BUILD_BENCH=OFF >/dev/null
  if [ "$build" = tsan ]; then
    cmake --build "$dir" -j "$(nproc)" --target tv_tests
    (cd "$dir/tests" && ./tv_tests --gtest_filter='Server*:Sim*:WorldTick*:Unit*:PathConflicts*:CutsceneFreeze*:WalkersEndToEnd*:CombatAi*:BotThink*:BotWeaponData*:CaptureFlag*:Flag*:Mine*:Pickup*:Creature*:DeathItems*:FittedBot*:President*:DefaultItem*:ClientDispatch*:ClientLink*:TrackObject*:Blocker*:Node*:Swarm*:Centipede*:PresidentGame*:Scavenger*:Popup*:Turret*:ActorSave*:ActorRoundTrip*:InventorySave*:Console*:ClientUnit*:ClientBot*')
    continue
  fi
  cmake --build "$dir" -j "$(nproc)"
  # Render tests need a display: run the whole suite under a virtual X server.
  xvfb-run -a ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
done
