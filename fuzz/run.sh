#!/usr/bin/env bash
# Builds a fuzzer with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs it for SECONDS.
# New inputs go to build-fuzz/corpus (build-fuzz/corpus_v3); the seeds in
# fuzz/corpus (fuzz/corpus_v3) stay as they are (the unit tests replay them).
# Crashes land in build-fuzz/artifacts.
#   fuzz/run.sh SECONDS [extra libFuzzer flags...]      the version 1/2c Decode
#   fuzz/run.sh --v3 SECONDS [extra libFuzzer flags...] the version 3 decoders
#   fuzz/run.sh --v3-seeds                              rewrites fuzz/corpus_v3
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/corpus" "$out/corpus_v3" "$out/artifacts"
CXXFLAGS=(-std=c++20 -O1 -g -fno-omit-frame-pointer -I.)
SNMP=(snmp/ber_reader.cpp snmp/ber_writer.cpp snmp/tsnmp_rec.cpp)
V3=(snmp/usm_security_parameters.cpp snmp/snmpv3_message.cpp)

case ${1:-} in
--v3-seeds)
  clang++ "${CXXFLAGS[@]}" fuzz/make_v3_seeds.cpp $(ls snmp/*.cpp | grep -v '_test\.cpp$') \
    -lcrypto -o "$out/make_v3_seeds"
  exec "$out/make_v3_seeds" fuzz/corpus_v3
  ;;
--v3)
  shift
  seconds=${1:?usage: fuzz/run.sh --v3 SECONDS}
  shift
  clang++ "${CXXFLAGS[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    fuzz/snmpv3_fuzzer.cpp "${SNMP[@]}" "${V3[@]}" -o "$out/snmpv3_fuzzer"
  exec "$out/snmpv3_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$@" "$out/corpus_v3" fuzz/corpus_v3
  ;;
esac

seconds=${1:?usage: fuzz/run.sh SECONDS}
shift
clang++ "${CXXFLAGS[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  fuzz/decode_fuzzer.cpp "${SNMP[@]}" -o "$out/decode_fuzzer"
exec "$out/decode_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" fuzz/corpus
