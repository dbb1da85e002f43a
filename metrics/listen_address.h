#pragma once
// Where the metrics are served: "--metrics ADDRESS" or the "MetricsListen"
// setting. "PORT" and ":PORT" listen on loopback only, 127.0.0.1; any other
// interface must be named: "HOST:PORT" with HOST an IPv4 address (or
// "localhost"), "[IPV6]:PORT" (which the server may still refuse: see
// metrics_server.h). Host names are not looked up: the listener
// must be the one the user meant, not whatever a name resolves to today.
#include <string>

#include "base/status.h"

namespace plovex {

struct ListenAddress {
  std::string host;  // an IPv4 address, or an IPv6 address without brackets
  int port = 0;      // 1 to 65535

  // "127.0.0.1:9877", "[::1]:9877": as the user reads it, and as the server
  // takes it.
  std::string Text() const;
};

// An error names the text and what is wrong with it.
Result<ListenAddress> ParseListenAddress(const std::string& text);

}  // namespace plovex
