#pragma once
// Libcrypto: the functions of OpenSSL's libcrypto that SNMP version 3 uses,
// from the library loaded at the first call of LoadLibcrypto. Only version 3
// needs it, and a run that never uses it never maps the library: its
// relocations alone keep about 1.4 MB resident in every process that links
// it, for a program that otherwise sits in the tray for months.
//
// LoadLibcrypto is safe to call from any thread; it loads once and hands
// every caller the same table, or the same failure (kIoError naming the
// library and the loader's reason).
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include "base/status.h"

namespace plovex {

struct Libcrypto {
  decltype(&::EVP_sha1) sha1;
  decltype(&::EVP_sha256) sha256;
  decltype(&::EVP_aes_128_cfb128) aes_128_cfb128;
  decltype(&::EVP_Digest) digest;
  decltype(&::EVP_MD_CTX_new) md_ctx_new;
  decltype(&::EVP_MD_CTX_free) md_ctx_free;
  decltype(&::EVP_DigestInit_ex) digest_init;
  decltype(&::EVP_DigestUpdate) digest_update;
  decltype(&::EVP_DigestFinal_ex) digest_final;
  decltype(&::HMAC) hmac;
  decltype(&::EVP_CIPHER_CTX_new) cipher_ctx_new;
  decltype(&::EVP_CIPHER_CTX_free) cipher_ctx_free;
  decltype(&::EVP_CipherInit_ex) cipher_init;
  decltype(&::EVP_CipherUpdate) cipher_update;
  decltype(&::EVP_CipherFinal_ex) cipher_final;
  decltype(&::RAND_bytes) rand_bytes;
  decltype(&::CRYPTO_memcmp) memcmp;
};

Result<const Libcrypto*> LoadLibcrypto();

}  // namespace plovex
