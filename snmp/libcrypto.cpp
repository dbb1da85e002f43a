#include "snmp/libcrypto.h"

#include <dlfcn.h>

#include <string>

namespace plovex {

namespace {

// OpenSSL 3 keeps this name for the whole of its major version, the one the
// build was made against.
constexpr char kLibrary[] = "libcrypto.so.3";

template <typename F>
bool Take(void* library, const char* name, F& function, std::string& missing) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (function == nullptr && missing.empty()) missing = name;
  return function != nullptr;
}

Result<const Libcrypto*> Load() {
  // Never unloaded: the table points into it for the rest of the run.
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    return Status::IoError(std::string(kLibrary) +
                           " cannot be loaded: " + (why != nullptr ? why : "no reason given"));
  }
  static Libcrypto table;
  std::string missing;
  Libcrypto& t = table;
  Take(library, "EVP_sha1", t.sha1, missing);
  Take(library, "EVP_sha256", t.sha256, missing);
  Take(library, "EVP_aes_128_cfb128", t.aes_128_cfb128, missing);
  Take(library, "EVP_Digest", t.digest, missing);
  Take(library, "EVP_MD_CTX_new", t.md_ctx_new, missing);
  Take(library, "EVP_MD_CTX_free", t.md_ctx_free, missing);
  Take(library, "EVP_DigestInit_ex", t.digest_init, missing);
  Take(library, "EVP_DigestUpdate", t.digest_update, missing);
  Take(library, "EVP_DigestFinal_ex", t.digest_final, missing);
  Take(library, "HMAC", t.hmac, missing);
  Take(library, "EVP_CIPHER_CTX_new", t.cipher_ctx_new, missing);
  Take(library, "EVP_CIPHER_CTX_free", t.cipher_ctx_free, missing);
  Take(library, "EVP_CipherInit_ex", t.cipher_init, missing);
  Take(library, "EVP_CipherUpdate", t.cipher_update, missing);
  Take(library, "EVP_CipherFinal_ex", t.cipher_final, missing);
  Take(library, "RAND_bytes", t.rand_bytes, missing);
  Take(library, "CRYPTO_memcmp", t.memcmp, missing);
  if (!missing.empty()) {
    return Status::IoError(std::string(kLibrary) + " lacks " + missing);
  }
  return &table;
}

}  // namespace

Result<const Libcrypto*> LoadLibcrypto() {
  static const Result<const Libcrypto*> loaded = Load();
  return loaded;
}

}  // namespace plovex
