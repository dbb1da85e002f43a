#include "settings/registry_key.h"
#include "settings/testing/error_message_of.h"

#include <gtest/gtest.h>

#include "core/plovex_error.h"
#include "settings/hive_format.h"
#include "settings/testing/memory_hive.h"

namespace plovex {
namespace {

constexpr const char* kKey = "\\Software\\Test";

MemoryHive Seeded(std::string_view values) {
  auto hive = MemoryHive::FromText(std::string("Windows Registry Editor Version 5.00\n\n") +
                                   "[HKEY_CURRENT_USER\\Software\\Test]\n" + std::string(values));
  EXPECT_TRUE(hive.has_value());
  return hive.value_or(MemoryHive{});
}

TEST(RegistryKey, TypedReadsAndTheirTypeChecks) {
  MemoryHive hive = Seeded(
      "\"int\"=dword:fffffffe\n"
      "\"one byte\"=hex(4):07\n"
      "\"long dword\"=hex(4):01,00,00,00,00\n"
      "\"sz3\"=\"abc\"\n"
      "\"sz4\"=\"abcd\"\n"
      "\"bin4\"=hex:01,00,00,00\n"
      "\"double\"=hex:33,33,33,33,33,33,f3,3f\n"
      "\"bin7\"=hex:01,02,03,04,05,06,07\n"
      "\"bin9\"=hex:01,02,03,04,05,06,07,08,09\n"
      "\"qword\"=hex(b):01,02,03,04,05,06,07,08\n"
      "\"expand\"=hex(2):25,00,41,00,25,00,00,00\n"
      "\"empty\"=\"\"\n");
  RegistryKey key(hive, kKey);
  ASSERT_TRUE(key.is_open());
  EXPECT_EQ(key.ReadInteger("INT"), -2);
  EXPECT_TRUE(key.ReadBool("int"));
  EXPECT_EQ(key.ReadInteger("one byte"), 7);
  EXPECT_EQ(key.ReadDouble("double"), 1.2);
  EXPECT_EQ(key.ReadString("sz3"), "abc");
  EXPECT_EQ(key.ReadString("expand"), "%A%");
  EXPECT_EQ(key.ReadString("missing"), "");
  EXPECT_EQ(key.ReadString("empty"), "");
  EXPECT_TRUE(key.ValueExists("Empty"));
  EXPECT_FALSE(key.ValueExists("missing"));

  const std::vector<std::pair<std::function<void()>, std::string>> failures = {
      {[&] { key.ReadInteger("missing"); }, "Failed to get data for 'missing'"},
      {[&] { key.ReadBool("missing"); }, "Failed to get data for 'missing'"},
      {[&] { key.ReadInteger("long dword"); }, "Failed to get data for 'long dword'"},
      {[&] { key.ReadInteger("sz4"); }, "Failed to get data for 'sz4'"},  // 5 bytes with its zero
      {[&] { key.ReadInteger("sz3"); }, "Invalid data type for 'sz3'"},
      {[&] { key.ReadBool("bin4"); }, "Invalid data type for 'bin4'"},
      {[&] { key.ReadDouble("missing"); }, "Failed to get data for 'missing'"},
      {[&] { key.ReadDouble("bin9"); }, "Failed to get data for 'bin9'"},
      {[&] { key.ReadDouble("bin7"); }, "Invalid data type for 'bin7'"},
      {[&] { key.ReadDouble("qword"); }, "Invalid data type for 'qword'"},
      {[&] { key.ReadDouble("int"); }, "Invalid data type for 'int'"},
      {[&] { key.ReadString("int"); }, "Invalid data type for 'int'"},
      {[&] { key.ReadString("double"); }, "Invalid data type for 'double'"},
  };
  for (const auto& [read, message] : failures) EXPECT_EQ(MessageOf(read), message);
}

TEST(RegistryKey, WritesAreSeenAtOnceAndCommittedTogetherOnClose) {
  MemoryHive hive;
  RegistryKey key(hive, kKey);
  key.WriteString("S", "text");
  key.WriteInteger("I", -5);
  key.WriteBool("B", true);
  key.WriteDouble("D", 1.21);
  key.WriteInteger("i", 6);  // same value, other spelling: replaced and renamed
  EXPECT_EQ(key.ReadInteger("I"), 6);
  EXPECT_EQ(key.ReadString("S"), "text");
  EXPECT_EQ(hive.commits(), 0);
  EXPECT_FALSE(hive.KeyExists(kKey)) << "nothing reaches the hive before Close";
  key.Close();
  key.Close();
  EXPECT_EQ(hive.commits(), 1);

  RegistryKey again(hive, kKey);
  EXPECT_EQ(again.ReadString("s"), "text");
  EXPECT_EQ(again.ReadInteger("i"), 6);
  EXPECT_TRUE(again.ReadBool("B"));
  EXPECT_EQ(again.ReadDouble("D"), 1.21);
  const HiveKey* stored = hive.document().FindKey("HKEY_CURRENT_USER\\Software\\Test");
  ASSERT_NE(stored, nullptr);
  ASSERT_EQ(stored->values().size(), 4u);
  EXPECT_EQ(stored->values()[1].name, "i");
  EXPECT_EQ(stored->values()[3].data, "\x5C\x8F\xC2\xF5\x28\x5C\xF3\x3F");
  again.Close();
  EXPECT_EQ(hive.commits(), 1) << "a key closed without writes commits nothing";
}

TEST(RegistryKey, ACommitTheHiveRefusesNamesTheFirstValueAndStoresNothing) {
  MemoryHive hive = Seeded("\"A\"=\"old\"\n");
  hive.set_writable(false);
  RegistryKey key(hive, kKey);
  key.WriteString("A", "new");
  key.WriteString("B", "new");
  EXPECT_EQ(MessageOf([&] { key.Close(); }), "Failed to set data for 'A'");
  hive.set_writable(true);
  RegistryKey again(hive, kKey);
  EXPECT_EQ(again.ReadString("A"), "old");
  EXPECT_FALSE(again.ValueExists("B"));
}

TEST(RegistryKey, AnUnreadableHiveOpensNoKey) {
  MemoryHive hive = Seeded("\"A\"=dword:00000001\n");
  hive.set_readable(false);
  RegistryKey key(hive, kKey);
  EXPECT_FALSE(key.is_open());
  EXPECT_FALSE(key.ValueExists("A"));
  key.WriteInteger("A", 2);
  EXPECT_EQ(MessageOf([&] { key.Close(); }), "Failed to set data for 'A'");
  EXPECT_EQ(hive.commits(), 0);
}

TEST(RegistryKey, CloseAfterFailureStillCommitsWhatWasWritten) {
  MemoryHive hive;
  RegistryKey key(hive, kKey);
  key.WriteString("A", "1");
  key.CloseAfterFailure();
  EXPECT_EQ(hive.commits(), 1);
  hive.set_writable(false);
  RegistryKey refused(hive, kKey);
  refused.WriteString("A", "2");
  refused.CloseAfterFailure();  // the caller reports its own failure; this one is dropped
  EXPECT_EQ(RegistryKey(hive, kKey).ReadString("A"), "1");
}

}  // namespace
}  // namespace plovex
