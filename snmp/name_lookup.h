#pragma once
// NameLookup: a host name's address without letting a slow resolver stall
// the poll (and with it the window). A lookup waits at most `wait_ms`; one
// that takes longer goes on in the background, and a later call takes its
// answer. An address found is kept for five minutes, so a name costs one
// resolver query per five minutes instead of one per poll; a name that was
// not found is asked again at the next call.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/status.h"
#include "snmp/udp_transport.h"

namespace plovex {

class NameLookup {
 public:
  // What a blocking resolver found for a name: its first IPv4 address, else
  // its first IPv6 one.
  using Resolver = std::function<Result<UdpEndpoint>(const std::string& name)>;
  static constexpr std::int64_t kKeepMs = 5 * 60 * 1000;

  explicit NameLookup(std::int64_t wait_ms, Resolver resolver = SystemResolver);
  ~NameLookup();
  NameLookup(const NameLookup&) = delete;
  NameLookup& operator=(const NameLookup&) = delete;

  // `now_ms` is the caller's monotonic clock.
  Result<UdpEndpoint> Find(const std::string& name, std::int64_t now_ms);

  static Result<UdpEndpoint> SystemResolver(const std::string& name);

 private:
  struct Pending;
  std::int64_t wait_ms_;
  Resolver resolver_;
  std::shared_ptr<Pending> pending_;  // shared with the resolving thread
  std::string name_;                  // the name of the answer below
  UdpEndpoint found_;
  std::int64_t found_until_ms_ = 0;
};

}  // namespace plovex
