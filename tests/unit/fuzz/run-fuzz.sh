#!/usr/bin/env bash
# Builds one libFuzzer target with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs it for a bounded time, seeded from tests/unit/fuzz/corpus-<name>/ when
# that folder exists. Exits non-zero when the fuzzer finds a crash, a sanitizer
# report, an input that runs too long or one that takes too much memory; the
# input is then left in <build-dir>/artifacts-<name>/.
#
# Usage: run-fuzz.sh <name> <build-dir> <seconds> <source files...>
#   Relative source paths are taken from the repository's root. The sources are
#   compiled with src/ and tests/unit/ on the include path.
# Environment: FUZZ_CXX names the compiler (clang++ by default); FUZZ_LIBS
# holds extra linker arguments (libraries the sources need), split at blanks.
set -euo pipefail

if [ $# -lt 4 ]; then
  echo "usage: $0 <name> <build-dir> <seconds> <source files...>" >&2
  exit 2
fi
name=$1
build_dir=$2
seconds=$3
shift 3

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)

sources=()
for source in "$@"; do
  case $source in
    /*) sources+=("$source") ;;
    *) sources+=("$root/$source") ;;
  esac
done

mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
binary=$build_dir/$name-fuzzer
"${FUZZ_CXX:-clang++}" -std=c++20 -g -O1 \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$root/src" -I "$root/tests/unit" \
  "${sources[@]}" -o "$binary" ${FUZZ_LIBS:-}

# libFuzzer adds the inputs it finds to the first corpus folder. That one lives
# in the build folder so that the seeds in the source tree stay as written.
corpus=$build_dir/corpus-$name
artifacts=$build_dir/artifacts-$name
mkdir -p "$corpus" "$artifacts"
corpora=("$corpus")
if [ -d "$here/corpus-$name" ]; then
  corpora+=("$here/corpus-$name")
fi

# -timeout flags any single input that runs for seconds: every reader fuzzed
# here is meant to be linear in its input.
exec "$binary" \
  -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=100000 -timeout=10 \
  -artifact_prefix="$artifacts/" "${corpora[@]}"
