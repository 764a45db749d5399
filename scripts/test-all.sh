#!/usr/bin/env bash
# Sets up a fresh machine, builds both programs and runs every test: the
# host tests on the simulated machine, the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz harnesses over
# their seed corpora, and the Windows build's tests under Wine.
#
#   TV_SANITIZE=0          leaves out the sanitizer build and the fuzz harnesses
#                          (a quick local run; CI runs everything)
#   TV_FUZZ_SECONDS=<n>    how long each fuzz harness runs (default 5)
#   TV_WINE_VARIANT=i686|x86_64  the variant of the Windows program that the
#                          Windows tests run against (scripts/windows-variant.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
# Each stage says how long it took, and the end sums them up.
stage_start=$SECONDS stage_name="" stage_times=""
stage() {
  if [ -n "$stage_name" ]; then
    echo "   ($((SECONDS - stage_start)) s)"
    stage_times+="   $(printf '%5d s' $((SECONDS - stage_start)))  $stage_name"$'\n'
  fi
  stage_start=$SECONDS stage_name=$1
  [ -n "$1" ] && echo "== $1"
  return 0
}

stage "setting up the machine (scripts/setup.sh)"
scripts/setup.sh
stage "building both programs (scripts/build.sh)"
scripts/build.sh
source scripts/windows-variant.sh
jobs="${JOBS:-$(nproc)}"

stage "host tests (simulated machine)"
(cd build/host && ctest --output-on-failure -j "$jobs")

if [ "${TV_SANITIZE:-1}" != 0 ]; then
  stage "host tests under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan)"
  # Unoptimised with line tables only: it compiles in a third of the time of
  # -O1 -g, finds the same faults, and the reports still name file and line.
  # Only the tests and the programs they run are built (no benchmarks).
  sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  cmake -S . -B build/asan -G Ninja -DTV_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$sanitize" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1 -DNDEBUG" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
  cmake --build build/asan -j "$jobs" --target tv_tests
  # Every finding fails its test: an error ends the program with a non-zero
  # code (the stand-ins' too, which the tests see as a failed step).
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:exitcode=86
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=87
  (cd build/asan && ctest --output-on-failure -j "$jobs")
  unset ASAN_OPTIONS UBSAN_OPTIONS

  if command -v clang++ > /dev/null; then
    seconds=${TV_FUZZ_SECONDS:-5}
    stage "fuzz harnesses, ${seconds} s each over their seed corpus (build/fuzz)"
    cmake -S . -B build/fuzz -G Ninja -DTV_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
          -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
          -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
    cmake --build build/fuzz -j "$jobs" --target fuzz_harnesses
    for seeds in tests/fuzz/corpus/*/; do
      name=$(basename "$seeds")
      found="build/fuzz/corpus/$name"  # what a run adds; the seeds stay as they are
      mkdir -p "$found"
      if ! "build/fuzz/bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
             -artifact_prefix="build/fuzz/$name-" "$found" "$seeds" > "build/fuzz/$name.log" 2>&1; then
        tail -n 60 "build/fuzz/$name.log"
        echo "FAILED: fuzz harness $name (input saved as build/fuzz/$name-*)" >&2
        exit 1
      fi
      echo "   $name: $(grep -o 'number_of_executed_units: *[0-9]*' "build/fuzz/$name.log" | grep -o '[0-9]*$') inputs"
    done
  else
    echo "== fuzz harnesses: left out, clang is not installed"
  fi
fi

if [ "$tv_variant" = i686 ]; then
  stage "Windows tests: the i686 program under wine ($tv_variant_why)"
  scripts/check-pe.sh build/win/bin/Tarnvale.exe
  (cd build/win && ctest --output-on-failure)
else
  stage "Windows tests: the x86_64 variant under wine64 ($tv_variant_why)"
  scripts/check-pe.sh build/win/bin/Tarnvale.exe
  (cd "$tv_win64" && ctest --output-on-failure)
fi
stage ""
echo "== every test passed ($((SECONDS - start)) s)"
printf '%s' "$stage_times"
