// Encoding the poll's seven-binding GetRequest and decoding a typical
// seven-binding reply (value texts included), against net-snmp's library
// doing the same with the same messages in the same run, in version 1 and in
// version 2c (with the 64-bit counters). Prints each of our figures as a
// ratio to net-snmp's.
//
//   snmp_codec_bench [--benchmark_min_time=...]
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "snmp/ber_reader.h"
#include "snmp/tsnmp_rec.h"

namespace {

using plovex::TSNMPRec;

const char* const kOids[] = {
    "1.3.6.1.2.1.2.2.1.10.2", "1.3.6.1.2.1.2.2.1.16.2", "1.3.6.1.2.1.1.1.0",
    "1.3.6.1.2.1.1.3.0",      "1.3.6.1.2.1.1.5.0",      "1.3.6.1.2.1.4.20.1.1.203.0.113.5",
    "1.3.6.1.2.1.1.6.0",
};

// Version 2c polls the 64-bit counters of ifXTable instead.
const char* const kOids2c[] = {
    "1.3.6.1.2.1.31.1.1.1.6.2", "1.3.6.1.2.1.31.1.1.1.10.2", "1.3.6.1.2.1.1.1.0",
    "1.3.6.1.2.1.1.3.0",        "1.3.6.1.2.1.1.5.0",         "1.3.6.1.2.1.4.20.1.1.203.0.113.5",
    "1.3.6.1.2.1.1.6.0",
};

const char* const* OidsOf(long version) { return version == 1 ? kOids2c : kOids; }

TSNMPRec PollRequest(long version = 0) {
  TSNMPRec r;
  r.Version = static_cast<std::int32_t>(version);
  r.Community = "tamrel";
  r.PduType = 0xA0;
  for (int i = 0; i < 7; ++i) r.AddVarBind(OidsOf(version)[i], "", 5);
  return r;
}

std::string TypicalReply(long version = 0) {
  TSNMPRec r;
  r.Version = static_cast<std::int32_t>(version);
  r.Community = "tamrel";
  r.PduType = 0xA2;
  if (version == 1) {
    // Counter64 content goes out as raw bytes: 2^40 + a bit, and 2^33.
    r.AddVarBind(kOids2c[0], std::string("\x01\x00\x00\x12\x34\x56", 6), 0x46);
    r.AddVarBind(kOids2c[1], std::string("\x02\x00\x00\x00\x00", 5), 0x46);
  } else {
    r.AddVarBind(kOids[0], "3735928559", 0x41);
    r.AddVarBind(kOids[1], "1234567890", 0x41);
  }
  r.AddVarBind(kOids[2], "Linux router 5.10.0 #1 SMP mips", 4);
  r.AddVarBind(kOids[3], "12345678", 0x43);
  r.AddVarBind(kOids[4], "gateway", 4);
  r.AddVarBind(kOids[5], "203.0.113.5", 0x40);
  r.AddVarBind(kOids[6], "Lab rack 7", 4);
  return r.Encode();
}

std::vector<oid> OidArcs(const char* text) {
  std::vector<oid> arcs;
  for (const char* p = text; *p;) {
    char* end;
    arcs.push_back(std::strtoul(p, &end, 10));
    p = *end == '.' ? end + 1 : end;
  }
  return arcs;
}

struct NetSnmp {
  NetSnmp() {
    // No configuration files, no MIBs, no persistent state: the codec only.
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    for (netsnmp_session* s : {&session, &session2c}) {
      snmp_sess_init(s);
      s->community = reinterpret_cast<u_char*>(const_cast<char*>("tamrel"));
      s->community_len = 6;
    }
    session.version = SNMP_VERSION_1;
    session2c.version = SNMP_VERSION_2c;
  }
  netsnmp_session* Session(long version) { return version == 1 ? &session2c : &session; }
  netsnmp_session session{};
  netsnmp_session session2c{};
};

NetSnmp& Lib() {
  static NetSnmp lib;
  return lib;
}

netsnmp_pdu* NetSnmpRequest(long version = 0) {
  netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
  pdu->version = version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_1;
  for (int i = 0; i < 7; ++i) {
    const char* text = OidsOf(version)[i];
    const std::vector<oid> arcs = OidArcs(text);
    snmp_add_null_var(pdu, arcs.data(), arcs.size());
  }
  return pdu;
}

// ---- encode ----

void Encode_Plovex(benchmark::State& state, long version) {
  const TSNMPRec request = PollRequest(version);
  std::string out;
  for (auto _ : state) {
    request.EncodeTo(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}

void Encode_NetSnmp(benchmark::State& state, long version) {
  netsnmp_pdu* pdu = NetSnmpRequest(version);
  std::size_t buf_len = 1024;
  auto* buf = static_cast<u_char*>(std::malloc(buf_len));
  std::size_t length = 0;
  for (auto _ : state) {
    length = 0;
    if (snmp_build(&buf, &buf_len, &length, Lib().Session(version), pdu) != 0) {
      state.SkipWithError("snmp_build failed");
      break;
    }
    benchmark::DoNotOptimize(buf);
  }
  state.counters["bytes"] = static_cast<double>(length);
  std::free(buf);
  snmp_free_pdu(pdu);
}

// The request built from scratch each time, as the poll does.
void BM_BuildAndEncode_Plovex(benchmark::State& state) {
  TSNMPRec request;
  std::string out;
  for (auto _ : state) {
    request.Reset();
    request.Community = "tamrel";
    request.PduType = 0xA0;
    for (const char* oid : kOids) request.AddVarBind(oid, "", 5);
    request.EncodeTo(out);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_BuildAndEncode_NetSnmp(benchmark::State& state) {
  std::size_t buf_len = 1024;
  auto* buf = static_cast<u_char*>(std::malloc(buf_len));
  std::vector<std::vector<oid>> arcs;
  for (const char* text : kOids) arcs.push_back(OidArcs(text));
  for (auto _ : state) {
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    pdu->version = SNMP_VERSION_1;
    for (const auto& a : arcs) snmp_add_null_var(pdu, a.data(), a.size());
    std::size_t length = 0;
    if (snmp_build(&buf, &buf_len, &length, &Lib().session, pdu) != 0) {
      state.SkipWithError("snmp_build failed");
      snmp_free_pdu(pdu);
      break;
    }
    benchmark::DoNotOptimize(buf);
    snmp_free_pdu(pdu);
  }
  std::free(buf);
}

// ---- decode ----

void Decode_Plovex(benchmark::State& state, long version) {
  const std::string reply = TypicalReply(version);
  TSNMPRec response;
  for (auto _ : state) {
    response.Reset();
    benchmark::DoNotOptimize(response.Decode(reply).ok());
    benchmark::DoNotOptimize(response.VarBinds().data());
  }
  if (response.VarBinds().size() != 7 || response.VarBinds()[5].Value != "203.0.113.5" ||
      (version == 1 && response.VarBinds()[1].Value != "8589934592")) {
    state.SkipWithError("wrong decode");
  }
}

void Decode_NetSnmp(benchmark::State& state, long version) {
  std::string reply = TypicalReply(version);
  netsnmp_session* session = Lib().Session(version);
  for (auto _ : state) {
    netsnmp_pdu* pdu = snmp_pdu_create(0);
    const int rc =
        snmp_parse(nullptr, session, pdu, reinterpret_cast<u_char*>(reply.data()), reply.size());
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(pdu->variables);
    snmp_free_pdu(pdu);
  }
  netsnmp_pdu* pdu = snmp_pdu_create(0);
  int count = 0;
  if (snmp_parse(nullptr, session, pdu, reinterpret_cast<u_char*>(reply.data()), reply.size()) ==
      0) {
    for (auto* v = pdu->variables; v; v = v->next_variable) ++count;
  }
  snmp_free_pdu(pdu);
  if (count != 7) state.SkipWithError("net-snmp did not parse the reply");
}

// The floor: reading only the tag and length of each of the reply's BER
// elements, no texts.
void BM_Decode_BareElementWalk(benchmark::State& state) {
  const std::string reply = TypicalReply();
  int elements = 0;
  for (auto _ : state) {
    plovex::ber::BerReader reader(reply.data(), reply.data() + reply.size());
    elements = 0;
    while (reader.Next().kind != plovex::ber::Item::Kind::kAbsent) ++elements;
    benchmark::DoNotOptimize(elements);
  }
  state.counters["elements"] = elements;
}

BENCHMARK_CAPTURE(Encode_Plovex, v1, 0)->Name("BM_Encode_Plovex");
BENCHMARK_CAPTURE(Encode_NetSnmp, v1, 0)->Name("BM_Encode_NetSnmp");
BENCHMARK(BM_BuildAndEncode_Plovex);
BENCHMARK(BM_BuildAndEncode_NetSnmp);
BENCHMARK_CAPTURE(Decode_Plovex, v1, 0)->Name("BM_Decode_Plovex");
BENCHMARK_CAPTURE(Decode_NetSnmp, v1, 0)->Name("BM_Decode_NetSnmp");
BENCHMARK(BM_Decode_BareElementWalk);
BENCHMARK_CAPTURE(Encode_Plovex, v2c, 1)->Name("BM_Encode2c_Plovex");
BENCHMARK_CAPTURE(Encode_NetSnmp, v2c, 1)->Name("BM_Encode2c_NetSnmp");
BENCHMARK_CAPTURE(Decode_Plovex, v2c, 1)->Name("BM_Decode2c_Plovex");
BENCHMARK_CAPTURE(Decode_NetSnmp, v2c, 1)->Name("BM_Decode2c_NetSnmp");

// Remembers each benchmark's CPU time per iteration (the median when runs
// are repeated) for the ratios: on a shared machine wall time also counts the
// time other processes held the CPU.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        ns_[name] = run.GetAdjustedCPUTime();
        from_median_[name] = true;
      } else if (run.run_type == Run::RT_Iteration && !from_median_[name]) {
        ns_[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nnet-snmp CPU time / our CPU time, same run (higher: we are faster):\n");
    for (const char* op : {"Encode", "BuildAndEncode", "Decode", "Encode2c", "Decode2c"}) {
      const auto ours = ns_.find(std::string("BM_") + op + "_Plovex");
      const auto theirs = ns_.find(std::string("BM_") + op + "_NetSnmp");
      if (ours == ns_.end() || theirs == ns_.end() || ours->second <= 0) continue;
      std::printf("  %-15s %6.2fx  (%.1f ns vs %.1f ns)\n", op, theirs->second / ours->second,
                  ours->second, theirs->second);
    }
    const auto walk = ns_.find("BM_Decode_BareElementWalk");
    const auto decode = ns_.find("BM_Decode_Plovex");
    if (walk != ns_.end() && decode != ns_.end()) {
      std::printf("  Decode / bare element walk: %.2fx\n", decode->second / walk->second);
    }
  }

 private:
  std::map<std::string, double> ns_;
  std::map<std::string, bool> from_median_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
