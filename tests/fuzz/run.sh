#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one of them, or all of them one after
# the other, for the given number of seconds each (default 600), at low priority.
#
#   tests/fuzz/run.sh TARGET [SECONDS]     e.g. tests/fuzz/run.sh keyword_list_fuzz 600
#   tests/fuzz/run.sh all [SECONDS]
#   tests/fuzz/run.sh list
#
# Seeds come from tests/fuzz/corpus/<target>/ (never written to); what the fuzzer learns goes to
# build-fuzz/corpus/<target>/, crashes to build-fuzz/artifacts/<target>/, the log to build-fuzz/logs/.
# Replay a crash with: build-fuzz/tests/fuzz/<target> build-fuzz/artifacts/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-fuzz
target="${1:-}"
seconds="${2:-600}"
if [ -z "$target" ]; then
  sed -n '2,12p' "$0"
  exit 2
fi

if ! command -v clang++ >/dev/null; then
  echo "clang++ is missing (Debian: apt-get install clang libclang-rt-14-dev)" >&2
  exit 2
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELLICK_BUILD_FUZZERS=ON -DVELLICK_BUILD_TESTS=OFF -DVELLICK_BUILD_GUI=OFF >/dev/null

targets=()
for source in tests/fuzz/*_fuzz.cpp; do
  name="$(basename "$source" .cpp)"
  if [ "$name" = file_scanner_fuzz ] && [ ! -f tests/support/reference_scanner.cpp ]; then
    continue
  fi
  targets+=("$name")
done
if [ "$target" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$target" != all ]; then
  targets=("$target")
fi

# Longest input per target: the scanner needs room for matches across its reads.
max_len() {
  case "$1" in
    file_scanner_fuzz | archive_reader_fuzz | document_text_fuzz) echo 16384 ;;
    *) echo 8192 ;;
  esac
}

status=0
for name in "${targets[@]}"; do
  mkdir -p "$build/corpus/$name" "$build/artifacts/$name" "$build/logs"
  if ! cmake --build "$build" -j2 --target "$name" >"$build/logs/build.log" 2>&1; then
    tail -40 "$build/logs/build.log" >&2
    exit 2
  fi
  log="$build/logs/$name.log"
  seeds=()
  if [ -d "tests/fuzz/corpus/$name" ]; then
    seeds=("tests/fuzz/corpus/$name")
  fi
  echo "== $name for ${seconds}s (log: $log)"
  set +e
  nice -n 10 "$build/tests/fuzz/$name" "$build/corpus/$name" "${seeds[@]}" \
    -max_total_time="$seconds" -max_len="$(max_len "$name")" -len_control=0 -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$name/" >"$log" 2>&1
  result=$?
  set -e
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  crashes="$(find "$build/artifacts/$name" -type f | wc -l)"
  echo "   exit $result, ${runs:-?} executions, corpus $(find "$build/corpus/$name" -type f | wc -l) inputs," \
    "$crashes saved finding(s) in $build/artifacts/$name/"
  if [ "$result" -ne 0 ]; then
    grep -m3 -E 'ERROR|fuzz check failed|runtime error' "$log" || true
    status=1
  fi
done
exit $status
