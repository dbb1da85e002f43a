#!/usr/bin/env bash
# Builds the Decode fuzzer with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) from the CMake targets into build-fuzz/ and runs
# it for SECONDS.
# New inputs go to build-fuzz/corpus; the seeds in fuzz/corpus stay as they
# are (the unit tests replay them). Crashes land in build-fuzz/artifacts.
#   fuzz/run.sh SECONDS [extra libFuzzer flags...]
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS}
shift
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/corpus" "$out/artifacts"
# The sources are the CMake targets' own: the fuzzer links plovex_snmp as the
# program does. Every object is instrumented; only the fuzzer gets libFuzzer's main.
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DPLOVEX_FUZZ=ON -DPLOVEX_GUI=OFF -DPLOVEX_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$out" -j2 --target decode_fuzzer
cp "$out/fuzz/decode_fuzzer" "$out/decode_fuzzer"
exec "$out/decode_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" fuzz/corpus
