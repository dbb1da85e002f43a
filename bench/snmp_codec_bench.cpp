// Encoding the poll's seven-binding GetRequest and decoding a typical
// seven-binding reply (value texts included), against net-snmp's library
// doing the same with the same messages in the same run. Prints each of our
// figures as a ratio to net-snmp's.
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

TSNMPRec PollRequest() {
  TSNMPRec r;
  r.Community = "tamrel";
  r.PduType = 0xA0;
  for (const char* oid : kOids) r.AddVarBind(oid, "", 5);
  return r;
}

std::string TypicalReply() {
  TSNMPRec r;
  r.Community = "tamrel";
  r.PduType = 0xA2;
  r.AddVarBind(kOids[0], "3735928559", 0x41);
  r.AddVarBind(kOids[1], "1234567890", 0x41);
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
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_1;
    session.community = reinterpret_cast<u_char*>(const_cast<char*>("tamrel"));
    session.community_len = 6;
  }
  netsnmp_session session{};
};

NetSnmp& Lib() {
  static NetSnmp lib;
  return lib;
}

netsnmp_pdu* NetSnmpRequest() {
  netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
  pdu->version = SNMP_VERSION_1;
  for (const char* text : kOids) {
    const std::vector<oid> arcs = OidArcs(text);
    snmp_add_null_var(pdu, arcs.data(), arcs.size());
  }
  return pdu;
}

// ---- encode ----

void BM_Encode_Plovex(benchmark::State& state) {
  const TSNMPRec request = PollRequest();
  std::string out;
  for (auto _ : state) {
    request.EncodeTo(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}

void BM_Encode_NetSnmp(benchmark::State& state) {
  netsnmp_pdu* pdu = NetSnmpRequest();
  std::size_t buf_len = 1024;
  auto* buf = static_cast<u_char*>(std::malloc(buf_len));
  std::size_t length = 0;
  for (auto _ : state) {
    length = 0;
    if (snmp_build(&buf, &buf_len, &length, &Lib().session, pdu) != 0) {
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

void BM_Decode_Plovex(benchmark::State& state) {
  const std::string reply = TypicalReply();
  TSNMPRec response;
  for (auto _ : state) {
    response.Reset();
    benchmark::DoNotOptimize(response.Decode(reply));
    benchmark::DoNotOptimize(response.VarBinds().data());
  }
  if (response.VarBinds().size() != 7 || response.VarBinds()[5].Value != "203.0.113.5") {
    state.SkipWithError("wrong decode");
  }
}

void BM_Decode_NetSnmp(benchmark::State& state) {
  std::string reply = TypicalReply();
  for (auto _ : state) {
    netsnmp_pdu* pdu = snmp_pdu_create(0);
    const int rc = snmp_parse(nullptr, &Lib().session, pdu, reinterpret_cast<u_char*>(reply.data()),
                              reply.size());
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(pdu->variables);
    snmp_free_pdu(pdu);
  }
  netsnmp_pdu* pdu = snmp_pdu_create(0);
  int count = 0;
  if (snmp_parse(nullptr, &Lib().session, pdu, reinterpret_cast<u_char*>(reply.data()),
                 reply.size()) == 0) {
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

BENCHMARK(BM_Encode_Plovex);
BENCHMARK(BM_Encode_NetSnmp);
BENCHMARK(BM_BuildAndEncode_Plovex);
BENCHMARK(BM_BuildAndEncode_NetSnmp);
BENCHMARK(BM_Decode_Plovex);
BENCHMARK(BM_Decode_NetSnmp);
BENCHMARK(BM_Decode_BareElementWalk);

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
    for (const char* op : {"Encode", "BuildAndEncode", "Decode"}) {
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
