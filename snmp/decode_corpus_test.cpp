// Replays the fuzzer's seed inputs through Decode, so the damaged messages
// kept there are decoded by every ordinary test run (and under the
// sanitizers whenever the tests are built with them).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "snmp/tsnmp_rec.h"

namespace plovex {
namespace {

TEST(DecodeCorpus, EverySeedDecodesWithinItsBytes) {
  const std::filesystem::path dir = std::filesystem::path(PLOVEX_SOURCE_DIR) / "fuzz" / "corpus";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int files = 0;
  int decoded = 0;
  TSNMPRec reused;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string datagram((std::istreambuf_iterator<char>(in)), {});
    // Decoding from an exactly sized heap copy lets a sanitizer see any
    // read past the end.
    const std::unique_ptr<char[]> exact(new char[datagram.size() + 1]);
    std::copy(datagram.begin(), datagram.end(), exact.get());
    TSNMPRec fresh;
    const bool ok = fresh.Decode(std::string_view(exact.get(), datagram.size())).ok();
    reused.Reset();
    EXPECT_EQ(reused.Decode(datagram).ok(), ok) << entry.path();
    ASSERT_EQ(fresh.VarBinds().size(), reused.VarBinds().size()) << entry.path();
    for (std::size_t i = 0; i < fresh.VarBinds().size(); ++i) {
      EXPECT_EQ(fresh.VarBinds()[i].Oid, reused.VarBinds()[i].Oid) << entry.path();
      EXPECT_EQ(fresh.VarBinds()[i].Value, reused.VarBinds()[i].Value) << entry.path();
      EXPECT_LE(fresh.VarBinds()[i].Value.size(), datagram.size() * 4 + 16) << entry.path();
    }
    ++files;
    decoded += ok;
  }
  EXPECT_GE(files, 20);
  EXPECT_GT(decoded, 0);
  EXPECT_LT(decoded, files);  // the corpus keeps non-messages too
}

TEST(DecodeCorpus, SeedsMeanWhatTheirNamesSay) {
  auto decode = [](const char* name, TSNMPRec& r) {
    std::ifstream in(std::filesystem::path(PLOVEX_SOURCE_DIR) / "fuzz" / "corpus" / name,
                     std::ios::binary);
    const std::string datagram((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(datagram.empty()) << name;
    return r.Decode(datagram).ok();
  };
  TSNMPRec r;
  ASSERT_TRUE(decode("reply_seven.bin", r));
  ASSERT_EQ(r.VarBinds().size(), 7u);
  EXPECT_EQ(r.FindValue("1.3.6.1.2.1.2.2.1.10.2"), "4294967295");
  EXPECT_EQ(r.FindValue("1.3.6.1.2.1.1.3.0"), "12345678");
  EXPECT_EQ(r.FindValue("1.3.6.1.2.1.4.20.1.1"), "203.0.113.5");
  r.Reset();
  ASSERT_TRUE(decode("oid_last_byte_continues.bin", r));
  ASSERT_EQ(r.VarBinds().size(), 1u);
  EXPECT_EQ(r.VarBinds()[0].Oid, "");
  r.Reset();
  EXPECT_FALSE(decode("single_byte.bin", r));
  EXPECT_FALSE(decode("not_constructed.bin", r));
  EXPECT_FALSE(decode("truncated_in_length.bin", r));
}

}  // namespace
}  // namespace plovex
