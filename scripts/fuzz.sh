#!/usr/bin/env bash
# Runs each libFuzzer target for longer than the test suite does, one after the other, and reports
# how many inputs it ran (this time and over every run so far) and its line coverage of the
# sources it is meant to reach. What the targets find is kept in build/fuzz/corpus/<target>, so
# runs add up (the aim: 10^7 runs per target in all); an input that breaks a property is written
# to build/fuzz/ and named. The kept corpus of panel_label is then laid out as the desktop
# label is, each input within a time budget, and the slowest layout is printed.
#   scripts/fuzz.sh [SECONDS [TARGET...]]   SECONDS per target (default 300), all targets by default
# Needs clang and llvm-profdata-14 / llvm-cov-14 (installed with clang 14).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(attention_file json_files panel_text panel_label text_cut key_decoder)

declare -A sources=(
  [attention_file]="src/core/attention_file.cc src/cli/attention_request.cc"
  [json_files]="src/linux/file_read.cc src/linux/file_write.cc src/linux/preferences.cc src/linux/bundle.cc"
  [panel_text]="src/core/visible_text.cc src/terminal/text.cc src/terminal/panel_text.cc"
  [panel_label]="src/core/visible_text.cc src/core/panel_label_text.cc"
  [text_cut]="src/core/visible_text.cc"
  [key_decoder]="src/terminal/menu_keys.cc src/core/status_view.cc"
)

fuzz=build/fuzz
coverage=build/fuzz-coverage
configure() {
  CC=clang CXX=clang++ cmake -S . -B "$1" -G Ninja -DVANTOREL_FUZZ=ON -DVANTOREL_BUILD_TESTS=OFF \
    "${@:2}" >/dev/null
}
# Fuzzing wants speed; the coverage build replays the corpus once with counters.
configure "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure "$coverage" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
  -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate"
cmake --build "$fuzz" -j2 --target "${targets[@]/#/fuzz_}"
cmake --build "$coverage" -j2 --target "${targets[@]/#/fuzz_}"

mkdir -p "$fuzz/runs"
status=0
for target in "${targets[@]}"; do
  corpus="$fuzz/corpus/$target"
  log="$fuzz/$target.log"
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  # Past the program's 4,096-byte limits, reached early; the JSON model reads nesting recursively.
  max_len=12000
  [[ $target == json_files ]] && max_len=4096
  # A slow input is a finding too: these files are read on the main loop.
  if ! "$fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -max_len="$max_len" -len_control=20 \
    -artifact_prefix="$fuzz/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E 'property broken|ERROR:|SUMMARY:|Test unit written' "$log" || tail -n 20 "$log"
    status=1
  fi
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  total=$(($(cat "$fuzz/runs/$target" 2>/dev/null || echo 0) + ${runs:-0}))
  echo "$total" >"$fuzz/runs/$target"
  echo "runs: ${runs:-?} ($(awk '/stat::average_exec_per_sec/ {print $2}' "$log")/s), in all: $total"

  if [[ $target == panel_label ]]; then
    # Fontconfig keeps its caches for the life of the process: not a leak of ours.
    ASAN_OPTIONS=detect_leaks=0 VANTOREL_FUZZ_LAYOUT=1 "$fuzz/fuzz/fuzz_$target" -runs=0 \
      "$corpus" "fuzz/corpus/$target" 2>&1 | grep -E 'slowest|broken' || status=1
  fi

  rm -f "$coverage/$target".prof*
  LLVM_PROFILE_FILE="$coverage/$target.profraw" "$coverage/fuzz/fuzz_$target" -runs=0 \
    "$corpus" "fuzz/corpus/$target" >/dev/null 2>&1 || true
  llvm-profdata-14 merge -sparse -o "$coverage/$target.profdata" "$coverage/$target.profraw"
  # shellcheck disable=SC2086  # the list of sources is split on purpose
  llvm-cov-14 report "$coverage/fuzz/fuzz_$target" -instr-profile="$coverage/$target.profdata" \
    ${sources[$target]}
done
exit "$status"
