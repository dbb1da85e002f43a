#pragma once
// MetricsServer: a small HTTP server on its own threads (civetweb) that
// answers GET /metrics with what `body` returns, as the Prometheus text
// format 0.0.4, and GET / with a page that links to it; anything else is
// 404. It serves from Start until it is destroyed.
#include <functional>
#include <memory>
#include <string>

#include "base/status.h"
#include "metrics/listen_address.h"

struct mg_context;
struct mg_connection;

namespace plovex {

class MetricsServer {
 public:
  using Body = std::function<std::string()>;

  // Listens on `address` at once. Fails with a message naming the address
  // and the reason when it cannot (a port in use, an address this host does
  // not have, IPv6 with a civetweb built without it, as Debian's is). `body` is called on the
  // server's threads, one call per scrape.
  static Result<std::unique_ptr<MetricsServer>> Start(const ListenAddress& address, Body body);
  ~MetricsServer();
  MetricsServer(const MetricsServer&) = delete;
  MetricsServer& operator=(const MetricsServer&) = delete;

 private:
  explicit MetricsServer(Body body) : body_(std::move(body)) {}
  static int Handle(mg_connection* conn, void* self);

  Body body_;
  mg_context* context_ = nullptr;
};

// The exposition's media type, as Prometheus asks for format 0.0.4.
inline constexpr const char* kExpositionContentType = "text/plain; version=0.0.4; charset=utf-8";

}  // namespace plovex
