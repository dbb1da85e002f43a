// Writes the version 3 seeds into fuzz/corpus_v3: genuine exchanges of the
// scripted agent (discovery, reports, replies at every level and with both
// hashes) and damaged variants. Built and run by fuzz/run.sh --v3-seeds.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "snmp/testing/usm_test_agent.h"
#include "snmp/tsnmp_send.h"

using plovex::testing::Bytes;
using plovex::testing::UsmTestAgent;

namespace {

void Write(const std::filesystem::path& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

plovex::UsmUser User(plovex::UsmAuthProtocol auth, plovex::UsmPrivProtocol priv) {
  plovex::UsmUser u;
  u.Name = "plovex";
  u.Auth = auth;
  u.Priv = priv;
  u.AuthKey = *plovex::PasswordToKey(auth, "authpass123");
  if (priv != plovex::UsmPrivProtocol::kNone)
    u.PrivKey = *plovex::PasswordToKey(auth, "privpass123");
  return u;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir = argc > 1 ? argv[1] : "fuzz/corpus_v3";
  std::filesystem::create_directories(dir);
  UsmTestAgent agent;
  agent.values["1.3.6.1.2.1.1.1.0"] = {"Test agent", 4};
  agent.values["1.3.6.1.2.1.31.1.1.1.6.2"] = {"18446744073709551615", 0x46};
  const struct {
    const char* name;
    plovex::UsmUser user;
  } levels[] = {
      {"authpriv_sha", User(plovex::UsmAuthProtocol::kSha1, plovex::UsmPrivProtocol::kAes128)},
      {"authpriv_sha256", User(plovex::UsmAuthProtocol::kSha256, plovex::UsmPrivProtocol::kAes128)},
      {"authnopriv_sha", User(plovex::UsmAuthProtocol::kSha1, plovex::UsmPrivProtocol::kNone)},
  };
  for (const auto& level : levels) {
    plovex::MemoryUdpTransport* net = nullptr;
    auto owned = std::make_unique<plovex::MemoryUdpTransport>();
    net = owned.get();
    plovex::TSNMPSend client(std::move(owned));
    client.Host = "127.0.0.1";
    client.Usm = level.user;
    agent.user = level.user;
    std::vector<std::string> replies;
    net->responder = [&](const plovex::MemoryUdpTransport::Datagram& sent,
                         plovex::MemoryUdpTransport& n) {
      replies.push_back(agent.Answer(sent.bytes, n.now_ms));
      n.Deliver(sent.peer, replies.back(), 1);
    };
    client.Request.Version = 3;
    client.Request.PduType = 0xA0;
    client.Request.AddVarBind("1.3.6.1.2.1.1.1.0", "", 5);
    client.Request.AddVarBind("1.3.6.1.2.1.31.1.1.1.6.2", "", 5);
    if (!client.Exchange() || net->sent.size() != 2 || replies.size() != 2) {
      std::cerr << level.name << ": " << client.LastStatus().message() << "\n";
      return 1;
    }
    const std::string base = level.name;
    Write(dir, "probe.bin", net->sent[0].bytes);
    Write(dir, "report_unknown_engine.bin", replies[0]);
    Write(dir, base + "_request.bin", net->sent[1].bytes);
    Write(dir, base + "_reply.bin", replies[1]);
    Write(dir, base + "_reply_truncated.bin", replies[1].substr(0, replies[1].size() - 3));
    Write(dir, base + "_report_not_in_time_window.bin",
          agent.Report(plovex::testing::kNotInTimeWindows, 0x01, 0));
  }
  Write(dir, "report_wrong_digest.bin", agent.Report(plovex::testing::kWrongDigests, 0, 0));
  // Damage at each layer: a plain reply whose scopedPDU, security parameters
  // and header each carry something the reader refuses or must bound.
  agent.user = User(plovex::UsmAuthProtocol::kSha1, plovex::UsmPrivProtocol::kNone);
  plovex::TSNMPRec pdu;
  pdu.PduType = 0xA2;
  pdu.AddVarBind("1.3.6.1.2.1.1.1.0", "Test agent", 4);
  const std::string plain = agent.SealReply(pdu, 0x00, 1, 2);
  Write(dir, "noauth_reply.bin", plain);
  std::string bad_version = plain;
  bad_version[4] = 1;
  Write(dir, "version_1_in_v3_layout.bin", bad_version);
  Write(dir, "trailing_byte.bin", plain + "x");
  Write(dir, "long_form_lengths.bin",
        Bytes("30 81 39 02 81 01 03 30 0E 02 01 09 02 03 00 FF E3 04 01 04 02 01 03"
              " 04 10 30 0E 04 00 02 01 00 02 01 00 04 00 04 00 04 00"
              " 30 11 04 00 04 00 A0 0B 02 01 05 02 01 00 02 01 00 30 00"));
  Write(dir, "security_parameters_alone.bin",
        Bytes("30 1A 04 05 80 00 1F 88 04 02 01 07 02 02 01 2C 04 06") + "plovex" +
            Bytes("04 00 04 00"));
  Write(
      dir, "scoped_pdu_alone.bin",
      Bytes("30 1A 04 00 04 00 A2 14 02 01 01 02 01 00 02 01 00 30 09 30 07 06 03 2B 06 01 46 00"));
  std::cout << "seeds written to " << dir << "\n";
  return 0;
}
