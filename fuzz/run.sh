#!/usr/bin/env bash
# Builds the Decode fuzzer with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs it for SECONDS.
# New inputs go to build-fuzz/corpus; the seeds in fuzz/corpus stay as they
# are (the unit tests replay them). Crashes land in build-fuzz/artifacts.
#   fuzz/run.sh SECONDS [extra libFuzzer flags...]
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS}
shift
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/corpus" "$out/artifacts"
clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I. \
  fuzz/decode_fuzzer.cpp snmp/ber_reader.cpp snmp/ber_writer.cpp snmp/tsnmp_rec.cpp \
  -o "$out/decode_fuzzer"
exec "$out/decode_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" fuzz/corpus
