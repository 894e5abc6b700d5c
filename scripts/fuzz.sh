#!/usr/bin/env bash
# Fuzzes the file readers: builds the fuzz targets (tests/fuzz/fuzz_*.cpp) with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/, then runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS]     (default 60 per target)
#
# Any crash, sanitizer report, leak or broken round trip fails the run; libFuzzer leaves the input
# that caused it in build-fuzz/findings/. The corpus grows in build-fuzz/corpus/ from run to run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBELVANE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" >/dev/null
targets=()
for source in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build build-fuzz --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/findings
summary=()
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build-fuzz/$target.log
    echo "Fuzzing $target for $seconds s"
    status=0
    build-fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix=build-fuzz/findings/"$target"- \
        "$corpus" tests/fuzz/corpus/"$target" >"$log" 2>&1 || status=$?
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
        echo "FUZZING FAILED: $target (exit $status); the input is in build-fuzz/findings/" >&2
        exit 1
    fi
    summary+=("$target: ${runs:-?} inputs in $seconds s, corpus $(find "$corpus" -type f | wc -l) files")
done
printf '%s\n' "${summary[@]}"
