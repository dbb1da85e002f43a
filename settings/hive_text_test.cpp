#include <gtest/gtest.h>

#include "settings/hive_format.h"
#include "settings/hive_text_reader.h"
#include "settings/hive_text_writer.h"
#include "settings/utf16.h"

namespace plovex {
namespace {

using hive_format::kRegBinary;
using hive_format::kRegDword;
using hive_format::kRegSz;

HiveDocument MustRead(std::string_view text) {
  auto doc = ReadHiveText(text);
  EXPECT_TRUE(doc.ok()) << doc.status().message();
  return doc.value_or(HiveDocument{});
}

const HiveValue* Value(const HiveDocument& doc, std::string_view key, std::string_view name) {
  const HiveKey* k = doc.FindKey(key);
  return k ? k->Find(name) : nullptr;
}

std::string Utf16Le(std::string_view utf8) { return "\xFF\xFE" + Utf8ToUtf16Le(utf8); }

TEST(HiveText, WritesTheRegistryEditorFormat) {
  HiveDocument doc;
  HiveKey& key = doc.OpenOrCreateKey("HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1");
  key.Set({"VersionNum", kRegBinary, "\x33\x33\x33\x33\x33\x33\xF3\x3F"});
  key.Set({"IP", kRegSz, "192.168.1.1"});
  key.Set({"OID1Cx", kRegDword, std::string("\x0c\0\0\0", 4)});
  key.Set({"Path", kRegSz, "C:\\a \"b\""});
  key.Set({"", kRegSz, "default"});
  key.Set({"Multi", 7, std::string("A\0\0\0\0\0", 6)});
  EXPECT_EQ(WriteHiveText(doc),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]\n"
            "\"VersionNum\"=hex:33,33,33,33,33,33,f3,3f\n"
            "\"IP\"=\"192.168.1.1\"\n"
            "\"OID1Cx\"=dword:0000000c\n"
            "\"Path\"=\"C:\\\\a \\\"b\\\"\"\n"
            "@=\"default\"\n"
            "\"Multi\"=hex(7):41,00,00,00,00,00\n"
            "\n");
}

TEST(HiveText, EveryTypeAndAwkwardStringsRoundTrip) {
  HiveDocument doc;
  HiveKey& key = doc.OpenOrCreateKey("HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1");
  const std::vector<HiveValue> values = {
      {"quotes", kRegSz, "say \"hi\""},
      {"backslashes", kRegSz, "\\\\server\\share\\"},
      {"trailing backslash", kRegSz, "ends with \\"},
      {"non-ASCII", kRegSz, "Grüße, 日本, \xF0\x9F\x98\x80"},
      {"latin-1 bytes", kRegSz, "caf\xE9"},
      {"empty", kRegSz, ""},
      {"a=b", kRegSz, "x=y"},
      {"]", kRegSz, "[not a key]"},
      {"line break", kRegSz, "one\ntwo\r\nthree"},
      {"zero byte", kRegSz, std::string("a\0b", 3)},
      {"name with \"quote\" and \\", kRegSz, "v"},
      {"", kRegSz, "the default value"},
      {"dword", kRegDword, std::string("\xff\xff\xff\xff", 4)},
      {"short dword", kRegDword, std::string("\x01", 1)},
      {"binary", kRegBinary, std::string("\0\x01\x7f\x80\xff", 5)},
      {"empty binary", kRegBinary, ""},
      {"long binary", kRegBinary, std::string(200, '\xAB')},
      {"expand", 2, Utf8ToUtf16Le("%HOME%") + std::string(2, '\0')},
      {"qword", 0xb, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
      {"none", 0, ""},
  };
  for (const HiveValue& v : values) key.Set(v);
  doc.OpenOrCreateKey("HKEY_LOCAL_MACHINE\\Other]Key");
  const std::string text = WriteHiveText(doc);
  const HiveDocument back = MustRead(text);
  EXPECT_EQ(back, doc) << text;
  // Long hex lists are wrapped with continuation lines.
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
  }
}

TEST(HiveText, ReadsWhatTheRegistryEditorExports) {
  const std::string exported =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; exported for the new machine\r\n"
      "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex]\r\n"
      "@=\"\"\r\n"
      "\"Monitored IP\"=\"10.0.0.1\"\r\n"
      "\"Text size\"=dword:00000008\r\n"
      "\"VersionNum\"=hex:f6,28,5c,8f,c2,f5,ef,3f\r\n"
      "\"Long\"=hex:01,02,03,\\\r\n"
      "  04,05\r\n"
      "\"Env\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      "\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
      "\"Q\"=hex(b):00,00,00,00,00,00,00,00\r\n"
      "\"Wide\"=hex(1):e9,00,00,00\r\n"
      "\"Gone\"=-\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Kestrune\\Obsolete]\r\n"
      "\r\n"
      "[hkey_current_user\\software\\kestrune\\plovex]\r\n"
      "\"text SIZE\"=dword:00000009\r\n";
  for (const std::string& bytes : {exported, Utf16Le(exported)}) {
    const HiveDocument doc = MustRead(bytes);
    ASSERT_EQ(doc.keys().size(), 1u) << "the same key twice is merged; deletions are skipped";
    const std::string key = "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex";
    EXPECT_EQ(Value(doc, key, "")->data, "");
    EXPECT_EQ(Value(doc, key, "monitored ip")->data, "10.0.0.1");
    EXPECT_EQ(Value(doc, key, "Text size")->data, std::string("\x09\0\0\0", 4)) << "last wins";
    EXPECT_EQ(Value(doc, key, "VersionNum")->type, kRegBinary);
    EXPECT_EQ(Value(doc, key, "Long")->data, "\x01\x02\x03\x04\x05");
    EXPECT_EQ(Value(doc, key, "Env")->type, 2u);
    EXPECT_EQ(Value(doc, key, "Env")->data, std::string("%\0A\0%\0\0\0", 8));
    EXPECT_EQ(Value(doc, key, "Multi")->type, 7u);
    EXPECT_EQ(Value(doc, key, "Q")->type, 0xbu);
    EXPECT_EQ(Value(doc, key, "Wide")->type, kRegSz);
    EXPECT_EQ(Value(doc, key, "Wide")->data, "\xC3\xA9");
    EXPECT_EQ(Value(doc, key, "Gone"), nullptr);
  }
  EXPECT_TRUE(ReadHiveText("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"y\"\n").ok());
  EXPECT_TRUE(ReadHiveText("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n").ok());
}

TEST(HiveText, NonAsciiInAUtf16ExportBecomesUtf8) {
  const std::string exported =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex]\r\n"
      "\"Community\"=\"Straße \xF0\x9F\x98\x80\"\r\n";
  const HiveDocument doc = MustRead(Utf16Le(exported));
  EXPECT_EQ(Value(doc, "HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex", "Community")->data,
            "Straße \xF0\x9F\x98\x80");
}

TEST(HiveText, RejectsWhatItCannotReadWholly) {
  const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n";
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"", "empty file"},
      {"[HKEY_CURRENT_USER\\K]\n", "no header"},
      {"Windows Registry Editor Version 4.00\n", "wrong header"},
      {"Windows Registry Editor Version 5.00\n\"x\"=\"y\"\n", "value before any key"},
      {head + "\"x\"=\"unterminated\n", "unterminated string"},
      {head + "\"x\"=\"y\" trailing\n", "text after a string"},
      {head + "\"x=\"y\"\n", "unterminated name"},
      {head + "\"x\"\n", "no equals sign"},
      {head + "\"x\"=dword:123456789\n", "dword too long"},
      {head + "\"x\"=dword:\n", "dword empty"},
      {head + "\"x\"=dword:12g4\n", "dword not hex"},
      {head + "\"x\"=hex:1,,2\n", "empty byte"},
      {head + "\"x\"=hex:123\n", "byte of three digits"},
      {head + "\"x\"=hex:zz\n", "byte not hex"},
      {head + "\"x\"=hex(:00\n", "unterminated type"},
      {head + "\"x\"=hex():00\n", "empty type"},
      {head + "\"x\"=hex(q):00\n", "type not hex"},
      {head + "\"x\"=hex:01,\\\n", "continuation at the end of the file"},
      {head + "\"x\"=string\n", "unquoted data"},
      {head + "garbage\n", "unrecognised line"},
      {head + "[]\n", "empty key name"},
      {head + "[HKEY_CURRENT_USER\\K\n", "unterminated key"},
      {std::string("\xFF\xFE\x41", 3), "odd UTF-16"},
      {std::string("\xFF\xFE\x00\xD8\x41\x00", 6), "unpaired surrogate"},
  };
  for (const auto& [text, why] : bad) {
    const Status failed = ReadHiveText(text).status();
    EXPECT_EQ(failed.code(), StatusCode::kCorruption) << why;
    EXPECT_FALSE(failed.message().empty()) << why;
  }
  EXPECT_EQ(ReadHiveText(head + "\"ok\"=\"1\"\nbad line\n").status().message(),
            "line 5: unrecognised line");
}

TEST(HiveText, UnknownKeysAndValuesKeepTheirPlaceThroughAnEdit) {
  const std::string original =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\n"
      "\"Keep\"=hex(7):41,00,00,00\n\n"
      "[HKEY_CURRENT_USER\\software\\kestrune\\plovex_1]\n"
      "\"mine\"=\"old\"\n"
      "\"ip\"=\"1.1.1.1\"\n\n"
      "[HKEY_LOCAL_MACHINE\\X]\n"
      "@=dword:00000001\n\n";
  HiveDocument doc = MustRead(original);
  HiveKey& key = doc.OpenOrCreateKey("HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1");
  key.Set({"IP", kRegSz, "127.0.0.1"});
  key.Set({"Community", kRegSz, "c"});
  EXPECT_EQ(WriteHiveText(doc),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\n"
            "\"Keep\"=hex(7):41,00,00,00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]\n"
            "\"mine\"=\"old\"\n"
            "\"IP\"=\"127.0.0.1\"\n"
            "\"Community\"=\"c\"\n\n"
            "[HKEY_LOCAL_MACHINE\\X]\n"
            "@=dword:00000001\n\n");
}

TEST(HiveText, ParentKeysExistImplicitly) {
  const HiveDocument doc =
      MustRead("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\A\\B]\n");
  EXPECT_TRUE(doc.KeyExists("HKEY_CURRENT_USER\\Software\\A\\B"));
  EXPECT_TRUE(doc.KeyExists("hkey_current_user\\software\\a"));
  EXPECT_FALSE(doc.KeyExists("HKEY_CURRENT_USER\\Software\\A\\"));
  EXPECT_FALSE(doc.KeyExists("HKEY_CURRENT_USER\\Software\\A\\B\\C"));
  EXPECT_FALSE(doc.KeyExists("HKEY_CURRENT_USER\\Software\\AB"));
  EXPECT_EQ(doc.FindKey("HKEY_CURRENT_USER\\Software\\A"), nullptr);
}

}  // namespace
}  // namespace plovex
