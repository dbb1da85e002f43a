#include "snmp/usm_crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/big_endian.h"
#include "snmp/usm_protocol.h"

namespace plovex {

namespace {

const EVP_MD* Md(UsmAuthProtocol protocol) {
  const UsmAuthProtocolRow& row = UsmAuthRow(protocol);
  return row.hash == nullptr ? nullptr : row.hash();
}

Status NoProtocol() { return Status::InvalidArgument("no authentication protocol"); }

// Only a broken installation gets here.
Status LibcryptoFailed(const char* what) {
  return Status::IoError(std::string("libcrypto could not ") + what);
}

const unsigned char* Uchar(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

struct MdCtxFree {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

Result<std::string> AesCfb(std::string_view key, std::string_view iv, std::string_view data,
                           bool encrypt) {
  const UsmPrivProtocolRow& aes = UsmPrivRow(UsmPrivProtocol::kAes128);
  if (key.size() < aes.key_length) return Status::InvalidArgument("privacy key too short");
  if (iv.size() < aes.iv_length) return Status::InvalidArgument("privacy IV too short");
  std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
  if (!ctx || EVP_CipherInit_ex(ctx.get(), aes.cipher(), nullptr, Uchar(key), Uchar(iv),
                                encrypt ? 1 : 0) != 1) {
    return LibcryptoFailed("set up AES");
  }
  std::string out(data.size(), '\0');
  int written = 0;
  int last = 0;
  // CFB is a stream mode: the output has the input's length, no padding.
  if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                       Uchar(data), static_cast<int>(data.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + written,
                         &last) != 1 ||
      static_cast<std::size_t>(written + last) != data.size()) {
    return LibcryptoFailed("run AES");
  }
  return out;
}

std::string DigestText(const unsigned char* digest, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(digest), length);
}

}  // namespace

Result<std::string> UsmDigest(UsmAuthProtocol protocol, std::string_view data) {
  const EVP_MD* md = Md(protocol);
  if (md == nullptr) return NoProtocol();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(data.data(), data.size(), digest, &length, md, nullptr) != 1) {
    return LibcryptoFailed("hash");
  }
  return DigestText(digest, length);
}

Result<std::string> UsmDigestRepeated(UsmAuthProtocol protocol, std::string_view pattern,
                                      std::size_t count) {
  const EVP_MD* md = Md(protocol);
  if (md == nullptr) return NoProtocol();
  if (pattern.empty()) return Status::InvalidArgument("nothing to repeat");
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1) return LibcryptoFailed("hash");
  // A block of whole copies keeps the repetition in phase from block to
  // block; the last one is cut to what is left.
  std::string block;
  while (block.size() < 4096) block.append(pattern);
  for (; count > 0;) {
    const std::size_t take = std::min(count, block.size());
    if (EVP_DigestUpdate(ctx.get(), block.data(), take) != 1) return LibcryptoFailed("hash");
    count -= take;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) return LibcryptoFailed("hash");
  return DigestText(digest, length);
}

Result<std::string> UsmMac(UsmAuthProtocol protocol, std::string_view key,
                           std::string_view message) {
  const EVP_MD* md = Md(protocol);
  if (md == nullptr) return NoProtocol();
  const std::size_t mac_length = UsmAuthRow(protocol).mac_length;
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(md, key.data(), static_cast<int>(key.size()), Uchar(message), message.size(), mac,
           &length) == nullptr ||
      length < mac_length) {
    return LibcryptoFailed("compute the HMAC");
  }
  return DigestText(mac, mac_length);
}

bool UsmMacMatches(UsmAuthProtocol protocol, std::string_view key, std::string_view message,
                   std::string_view mac) {
  const Result<std::string> expected = UsmMac(protocol, key, message);
  return expected.ok() && expected->size() == mac.size() &&
         CRYPTO_memcmp(expected->data(), mac.data(), mac.size()) == 0;
}

Result<std::string> Aes128CfbEncrypt(std::string_view key, std::string_view iv,
                                     std::string_view data) {
  return AesCfb(key, iv, data, true);
}

Result<std::string> Aes128CfbDecrypt(std::string_view key, std::string_view iv,
                                     std::string_view data) {
  return AesCfb(key, iv, data, false);
}

Result<std::uint64_t> UsmRandom64() {
  unsigned char bytes[8];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return LibcryptoFailed("make a random number");
  return ReadBigEndian(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

}  // namespace plovex
