#!/usr/bin/env bash
# Builds a fuzzer with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) from the CMake targets into build-fuzz/ and runs
# it for SECONDS. New inputs go to build-fuzz/corpus (build-fuzz/corpus_v3);
# the seeds in fuzz/corpus (fuzz/corpus_v3) stay as they are (the unit tests
# replay them). Crashes land in build-fuzz/artifacts.
#   fuzz/run.sh SECONDS [extra libFuzzer flags...]      the version 1/2c Decode
#   fuzz/run.sh --v3 SECONDS [extra libFuzzer flags...] the version 3 decoders
#   fuzz/run.sh --v3-seeds                              rewrites fuzz/corpus_v3
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/corpus" "$out/corpus_v3" "$out/artifacts"
# The sources are the CMake targets' own: each fuzzer links the library it
# exercises as the program does. Every object is instrumented; only the
# fuzzers get libFuzzer's main.
configure() {
  cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DPLOVEX_FUZZ=ON -DPLOVEX_GUI=OFF -DPLOVEX_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
}

target=decode_fuzzer
corpus=corpus
case ${1:-} in
--v3-seeds)
  configure
  cmake --build "$out" -j2 --target make_v3_seeds
  exec "$out/fuzz/make_v3_seeds" fuzz/corpus_v3
  ;;
--v3)
  shift
  target=snmpv3_fuzzer
  corpus=corpus_v3
  ;;
esac
seconds=${1:?usage: fuzz/run.sh [--v3] SECONDS}
shift
configure
cmake --build "$out" -j2 --target "$target"
exec "$out/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$@" "$out/$corpus" "fuzz/$corpus"
