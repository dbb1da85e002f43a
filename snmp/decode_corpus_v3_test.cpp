// Replays the version 3 fuzzer's seeds through the version 3 decoders, from
// exactly sized copies, so that every test run (and every sanitizer build)
// decodes the genuine and the damaged messages kept there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "snmp/snmpv3_message.h"
#include "snmp/tsnmp_rec.h"

namespace plovex {
namespace {

std::string Seed(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::filesystem::path Corpus() {
  return std::filesystem::path(PLOVEX_SOURCE_DIR) / "fuzz" / "corpus_v3";
}

TEST(DecodeCorpusV3, EverySeedDecodesWithinItsBytes) {
  ASSERT_TRUE(std::filesystem::is_directory(Corpus()));
  int files = 0;
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Corpus())) {
    const std::string bytes = Seed(entry.path());
    const std::unique_ptr<char[]> exact(new char[bytes.size() + 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    const std::string_view view(exact.get(), bytes.size());
    ++files;
    static_cast<void>(DecodeUsmSecurityParameters(view));  // only: no read outside `view`
    static_cast<void>(DecodeScopedPdu(view));
    const auto m = DecodeSnmpv3Message(view);
    if (!m) continue;
    ++decoded;
    EXPECT_LE(m->AuthOffset + m->Security.AuthParameters.size(), bytes.size()) << entry.path();
    if (!m->Encrypted) {
      const auto scoped = DecodeScopedPdu(m->ScopedPdu);
      ASSERT_TRUE(scoped) << entry.path();
      TSNMPRec pdu;
      pdu.Version = 3;
      EXPECT_TRUE(pdu.DecodePdu(scoped->Pdu).ok()) << entry.path();
    }
  }
  EXPECT_GE(files, 20);
  EXPECT_GT(decoded, 0);
  EXPECT_LT(decoded, files);
}

TEST(DecodeCorpusV3, SeedsMeanWhatTheirNamesSay) {
  const auto reply = DecodeSnmpv3Message(Seed(Corpus() / "authpriv_sha256_reply.bin"));
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->Encrypted);
  EXPECT_EQ(reply->Header.MsgFlags, 0x03);
  EXPECT_EQ(reply->Security.AuthParameters.size(), 24u);
  EXPECT_EQ(reply->Security.PrivParameters.size(), 8u);

  const auto report = DecodeSnmpv3Message(Seed(Corpus() / "report_unknown_engine.bin"));
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->Encrypted);
  const auto scoped = DecodeScopedPdu(report->ScopedPdu);
  ASSERT_TRUE(scoped);
  TSNMPRec pdu;
  pdu.Version = 3;
  ASSERT_TRUE(pdu.DecodePdu(scoped->Pdu).ok());
  EXPECT_EQ(pdu.PduType, 0xA8);
  ASSERT_EQ(pdu.VarBinds().size(), 1u);
  EXPECT_EQ(pdu.VarBinds()[0].Oid, "1.3.6.1.6.3.15.1.1.4.0");

  const auto plain = DecodeSnmpv3Message(Seed(Corpus() / "noauth_reply.bin"));
  ASSERT_TRUE(plain);
  const auto plain_scoped = DecodeScopedPdu(plain->ScopedPdu);
  ASSERT_TRUE(plain_scoped);
  TSNMPRec values;
  values.Version = 3;
  ASSERT_TRUE(values.DecodePdu(plain_scoped->Pdu).ok());
  EXPECT_EQ(values.FindValue("1.3.6.1.2.1.1.1.0"), "Test agent");

  EXPECT_TRUE(DecodeSnmpv3Message(Seed(Corpus() / "long_form_lengths.bin")));
  EXPECT_TRUE(DecodeUsmSecurityParameters(Seed(Corpus() / "security_parameters_alone.bin")));
  EXPECT_TRUE(DecodeScopedPdu(Seed(Corpus() / "scoped_pdu_alone.bin")));
  for (const char* refused :
       {"authpriv_sha_reply_truncated.bin", "trailing_byte.bin", "version_1_in_v3_layout.bin"}) {
    EXPECT_FALSE(DecodeSnmpv3Message(Seed(Corpus() / refused))) << refused;
  }
}

}  // namespace
}  // namespace plovex
