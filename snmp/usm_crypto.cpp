#include "snmp/usm_crypto.h"

#include <algorithm>
#include <memory>
#include <string>

#include "base/big_endian.h"
#include "snmp/libcrypto.h"
#include "snmp/usm_protocol.h"

namespace plovex {

namespace {

// The library and the hash H of a protocol.
struct Hash {
  const Libcrypto* lib;
  const EVP_MD* md;
};

Result<Hash> HashOf(UsmAuthProtocol protocol) {
  if (protocol == UsmAuthProtocol::kNone) {
    return Status::InvalidArgument("no authentication protocol");
  }
  const Result<const Libcrypto*> lib = LoadLibcrypto();
  if (!lib) return lib.status();
  return Hash{*lib, protocol == UsmAuthProtocol::kSha1 ? (*lib)->sha1() : (*lib)->sha256()};
}

// Only a broken installation gets here.
Status LibcryptoFailed(const char* what) {
  return Status::IoError(std::string("libcrypto could not ") + what);
}

const unsigned char* Uchar(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

struct MdCtxFree {
  const Libcrypto* lib;
  void operator()(EVP_MD_CTX* c) const { lib->md_ctx_free(c); }
};
struct CipherCtxFree {
  const Libcrypto* lib;
  void operator()(EVP_CIPHER_CTX* c) const { lib->cipher_ctx_free(c); }
};

Result<std::string> AesCfb(std::string_view key, std::string_view iv, std::string_view data,
                           bool encrypt) {
  const UsmPrivProtocolRow& aes = UsmPrivRow(UsmPrivProtocol::kAes128);
  if (key.size() < aes.key_length) return Status::InvalidArgument("privacy key too short");
  if (iv.size() < aes.iv_length) return Status::InvalidArgument("privacy IV too short");
  const Result<const Libcrypto*> loaded = LoadLibcrypto();
  if (!loaded) return loaded.status();
  const Libcrypto& lib = **loaded;
  std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(lib.cipher_ctx_new(), {&lib});
  if (!ctx || lib.cipher_init(ctx.get(), lib.aes_128_cfb128(), nullptr, Uchar(key), Uchar(iv),
                              encrypt ? 1 : 0) != 1) {
    return LibcryptoFailed("set up AES");
  }
  std::string out(data.size(), '\0');
  int written = 0;
  int last = 0;
  // CFB is a stream mode: the output has the input's length, no padding.
  if (lib.cipher_update(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                        Uchar(data), static_cast<int>(data.size())) != 1 ||
      lib.cipher_final(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + written, &last) !=
          1 ||
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
  const Result<Hash> h = HashOf(protocol);
  if (!h) return h.status();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (h->lib->digest(data.data(), data.size(), digest, &length, h->md, nullptr) != 1) {
    return LibcryptoFailed("hash");
  }
  return DigestText(digest, length);
}

Result<std::string> UsmDigestRepeated(UsmAuthProtocol protocol, std::string_view pattern,
                                      std::size_t count) {
  const Result<Hash> h = HashOf(protocol);
  if (!h) return h.status();
  if (pattern.empty()) return Status::InvalidArgument("nothing to repeat");
  const Libcrypto& lib = *h->lib;
  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(lib.md_ctx_new(), {&lib});
  if (!ctx || lib.digest_init(ctx.get(), h->md, nullptr) != 1) return LibcryptoFailed("hash");
  // A block of whole copies keeps the repetition in phase from block to
  // block; the last one is cut to what is left.
  std::string block;
  while (block.size() < 4096) block.append(pattern);
  for (; count > 0;) {
    const std::size_t take = std::min(count, block.size());
    if (lib.digest_update(ctx.get(), block.data(), take) != 1) return LibcryptoFailed("hash");
    count -= take;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (lib.digest_final(ctx.get(), digest, &length) != 1) return LibcryptoFailed("hash");
  return DigestText(digest, length);
}

Result<std::string> UsmMac(UsmAuthProtocol protocol, std::string_view key,
                           std::string_view message) {
  const Result<Hash> h = HashOf(protocol);
  if (!h) return h.status();
  const std::size_t mac_length = UsmAuthRow(protocol).mac_length;
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (h->lib->hmac(h->md, key.data(), static_cast<int>(key.size()), Uchar(message), message.size(),
                   mac, &length) == nullptr ||
      length < mac_length) {
    return LibcryptoFailed("compute the HMAC");
  }
  return DigestText(mac, mac_length);
}

bool UsmMacMatches(UsmAuthProtocol protocol, std::string_view key, std::string_view message,
                   std::string_view mac) {
  const Result<std::string> expected = UsmMac(protocol, key, message);
  // UsmMac succeeded, so the library is loaded.
  return expected.ok() && expected->size() == mac.size() &&
         (*LoadLibcrypto())->memcmp(expected->data(), mac.data(), mac.size()) == 0;
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
  const Result<const Libcrypto*> lib = LoadLibcrypto();
  if (!lib) return lib.status();
  unsigned char bytes[8];
  if ((*lib)->rand_bytes(bytes, sizeof bytes) != 1) return LibcryptoFailed("make a random number");
  return ReadBigEndian(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

}  // namespace plovex
