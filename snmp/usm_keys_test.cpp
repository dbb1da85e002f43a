// The keys and the cryptography of the User-based Security Model against the
// published vectors: RFC 3414 A.3.2 (SHA-1) and the same "maplesyrup" case
// with SHA-256 for password-to-key and localisation, RFC 2202 / RFC 4231 for
// the HMACs under the truncations of RFC 3414 and RFC 7860, and NIST SP
// 800-38A F.3.13 for AES-128-CFB128.
#include <gtest/gtest.h>

#include "snmp/testing/test_bytes.h"
#include "snmp/usm_crypto.h"
#include "snmp/usm_keys.h"
#include "snmp/usm_user.h"

namespace plovex {
namespace {

using testing::Bytes;
using testing::Hex;

const std::string kEngine = Bytes("00 00 00 00 00 00 00 00 00 00 00 02");

TEST(UsmKeys, MapleSyrupVectors) {
  const auto sha1 = PasswordToKey(UsmAuthProtocol::kSha1, "maplesyrup");
  ASSERT_TRUE(sha1);
  EXPECT_EQ(KeyToHex(*sha1), "9FB5CC0381497B3793528939FF788D5D79145211");
  EXPECT_EQ(KeyToHex(*LocalizeKey(UsmAuthProtocol::kSha1, *sha1, kEngine)),
            "6695FEBC9288E36282235FC7151F128497B38F3F");

  const auto sha256 = PasswordToKey(UsmAuthProtocol::kSha256, "maplesyrup");
  ASSERT_TRUE(sha256);
  EXPECT_EQ(KeyToHex(*sha256), "AB51014D1E077F6017DF2B12BEE5F5AA72993177E9BB569C4DFF5A4CA0B4AFAC");
  EXPECT_EQ(KeyToHex(*LocalizeKey(UsmAuthProtocol::kSha256, *sha256, kEngine)),
            "8982E0E549E866DB361A6B625D84CCCC11162D453EE8CE3A6445C2D6776F0F8B");
}

TEST(UsmKeys, PasswordToKeyHashesOneMegabyteOfTheRepeatedPassphrase) {
  // Passphrases whose length divides the megabyte, does not, and exceeds the
  // blocks the digest is fed in: the repetition must stay in phase.
  for (const std::string& passphrase :
       {std::string("abcdefgh"), std::string("authpass123"), std::string(5000, 'x') + "yz"}) {
    std::string megabyte;
    while (megabyte.size() < 1048576) megabyte += passphrase;
    megabyte.resize(1048576);
    const auto key = PasswordToKey(UsmAuthProtocol::kSha256, passphrase);
    ASSERT_TRUE(key);
    EXPECT_EQ(key, *UsmDigest(UsmAuthProtocol::kSha256, megabyte)) << passphrase.size();
  }
  EXPECT_EQ(PasswordToKey(UsmAuthProtocol::kSha1, "").status().code(),
            StatusCode::kInvalidArgument);
  EXPECT_EQ(PasswordToKey(UsmAuthProtocol::kNone, "maplesyrup").status().code(),
            StatusCode::kInvalidArgument);
  EXPECT_EQ(UsmAuthRow(UsmAuthProtocol::kSha1).key_length, 20u);
  EXPECT_EQ(UsmAuthRow(UsmAuthProtocol::kSha256).key_length, 32u);
}

TEST(UsmKeys, HexTextRoundTripsAndRefusesAnythingElse) {
  const std::string key = Bytes("00 0A FF 7f");
  EXPECT_EQ(KeyToHex(key), "000AFF7F");
  EXPECT_EQ(KeyFromHex("000aff7F"), key);
  EXPECT_EQ(KeyFromHex(""), std::string());
  for (const char* bad : {"0", "0x00", "00 11", "0g", "00:11", "zz"}) {
    EXPECT_EQ(KeyFromHex(bad).status().code(), StatusCode::kInvalidArgument) << bad;
  }
}

TEST(UsmCrypto, HmacTruncatedTo96And192Bits) {
  const std::string key(20, '\x0b');
  EXPECT_EQ(Hex(*UsmMac(UsmAuthProtocol::kSha1, key, "Hi There")),
            "B6 17 31 86 55 05 72 64 E2 8B C0 B6");
  EXPECT_EQ(Hex(*UsmMac(UsmAuthProtocol::kSha256, key, "Hi There")),
            "B0 34 4C 61 D8 DB 38 53 5C A8 AF CE AF 0B F1 2B 88 1D C2 00 C9 83 3D A7");
  const std::string mac = *UsmMac(UsmAuthProtocol::kSha1, key, "Hi There");
  EXPECT_TRUE(UsmMacMatches(UsmAuthProtocol::kSha1, key, "Hi There", mac));
  EXPECT_FALSE(UsmMacMatches(UsmAuthProtocol::kSha1, key, "Hi there", mac));
  EXPECT_FALSE(UsmMacMatches(UsmAuthProtocol::kSha1, key, "Hi There", mac.substr(0, 11)));
  EXPECT_FALSE(UsmMacMatches(UsmAuthProtocol::kSha256, key, "Hi There", mac));
  EXPECT_EQ(UsmMac(UsmAuthProtocol::kNone, key, "Hi There").status().code(),
            StatusCode::kInvalidArgument);
}

TEST(UsmCrypto, Aes128Cfb128) {
  const std::string key = Bytes("2b7e151628aed2a6abf7158809cf4f3c");
  const std::string iv = Bytes("000102030405060708090a0b0c0d0e0f");
  // Two blocks and a half: CFB has no padding.
  const std::string plain =
      Bytes("6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51 30c81c46a35ce411");
  const std::string cipher = *Aes128CfbEncrypt(key, iv, plain);
  EXPECT_EQ(Hex(cipher.substr(0, 32)),
            Hex(Bytes("3b3fd92eb72dad20333449f8e83cfb4a c8a64537a0b3a93fcde3cdad9f1ce58b")));
  EXPECT_EQ(cipher.size(), plain.size());
  EXPECT_EQ(Aes128CfbDecrypt(key, iv, cipher), plain);
  // A localized key is longer; only its first 16 bytes count.
  EXPECT_EQ(Aes128CfbEncrypt(key + "ignored", iv, plain), cipher);
  EXPECT_EQ(Aes128CfbEncrypt(key.substr(0, 15), iv, plain).status().code(),
            StatusCode::kInvalidArgument);
  EXPECT_EQ(Aes128CfbEncrypt(key, iv.substr(0, 8), plain).status().code(),
            StatusCode::kInvalidArgument);
}

TEST(UsmUser, LevelAndProblems) {
  const auto problem = [](const UsmUser& u) { return u.Check().message(); };
  UsmUser u;
  u.Name = "plovex";
  EXPECT_EQ(u.Level(), UsmSecurityLevel::kNoAuthNoPriv);
  EXPECT_TRUE(u.Check().ok());
  u.Priv = UsmPrivProtocol::kAes128;
  EXPECT_EQ(u.Check().code(), StatusCode::kInvalidArgument);
  EXPECT_EQ(problem(u), "privacy needs authentication");
  u.Auth = UsmAuthProtocol::kSha256;
  EXPECT_EQ(u.Level(), UsmSecurityLevel::kAuthPriv);
  EXPECT_EQ(problem(u), "no authentication key");
  u.AuthKey = std::string(20, 'k');  // a SHA-1 key for SHA-256
  EXPECT_EQ(problem(u), "authentication key of the wrong length");
  u.AuthKey = std::string(32, 'k');
  EXPECT_EQ(problem(u), "no privacy key");
  u.PrivKey = std::string(32, 'p');
  EXPECT_TRUE(u.Check().ok());
  u.Priv = UsmPrivProtocol::kNone;
  EXPECT_EQ(u.Level(), UsmSecurityLevel::kAuthNoPriv);
  u.Name = "";
  EXPECT_EQ(problem(u), "no user name");
  u.Name = std::string(33, 'u');
  EXPECT_EQ(problem(u), "user name longer than 32 bytes");

  EXPECT_EQ(ParseUsmAuthProtocol("MD5").status().message(),
            "unknown authentication protocol \"MD5\"");
  EXPECT_FALSE(ParseUsmAuthProtocol("sha").ok());
  EXPECT_EQ(ParseUsmAuthProtocol("SHA"), UsmAuthProtocol::kSha1);
  EXPECT_EQ(ParseUsmAuthProtocol("SHA-256"), UsmAuthProtocol::kSha256);
  EXPECT_EQ(ParseUsmAuthProtocol(""), UsmAuthProtocol::kNone);
  EXPECT_EQ(ParseUsmPrivProtocol("DES").status().message(), "unknown privacy protocol \"DES\"");
  EXPECT_EQ(ParseUsmPrivProtocol("AES"), UsmPrivProtocol::kAes128);
}

}  // namespace
}  // namespace plovex
