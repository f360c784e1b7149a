#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each of them for
# ${VIREO_FUZZ_SECONDS:-15} seconds on a fresh copy of its seed corpus under build/fuzz/.
# Fails when a target crashes, leaks, hangs or trips a sanitizer; the input that did it is
# left in build/fuzz/artifacts/. Without clang++ there is nothing to build: skip.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found, skipping the fuzz targets"
    exit 0
fi

seconds=${VIREO_FUZZ_SECONDS:-15}
targets=(fuzz_midi_receive fuzz_message_parse fuzz_user_names fuzz_name_records fuzz_script_read fuzz_smf_read
    fuzz_smf_import fuzz_typed_text fuzz_sample_file
    fuzz_sample_answers)
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# A short allocation stack keeps the many small allocations of a transfer cheap; a saved
# input run again by hand gets the full one.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:halt_on_error=1:malloc_context_size=8}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

mkdir -p "$build/artifacts" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    # A corpus may sort its seeds into folders (named after what is wrong with them); the
    # run gets them all side by side.
    find fuzz/corpus/"$target" -type f -exec cp {} "$corpus"/ \;
    log="$build/logs/$target.log"
    echo "fuzz: running $target for ${seconds}s"
    status=0
    "$build/fuzz/$target" "$corpus" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        echo "fuzz: $target FAILED (exit $status); log $log, input:"
        grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written)" "$log" | head -n 20 || true
        tail -n 40 "$log"
    else
        echo "fuzz: $target ok, ${runs:-?} executions, corpus $(ls "$corpus" | wc -l) inputs"
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: failed: ${failed[*]}"
    exit 1
fi
echo "fuzz: all targets passed"
