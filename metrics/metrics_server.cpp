#include "metrics/metrics_server.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace plovex {
namespace {

constexpr const char* kLandingPage =
    "<!DOCTYPE html>\n"
    "<html><head><title>Plovex</title></head>\n"
    "<body><h1>Plovex</h1>\n"
    "<p>The traffic of the monitored host, for Prometheus: <a href=\"/metrics\">/metrics</a></p>\n"
    "</body></html>\n";

void Reply(mg_connection* conn, int status, const char* reason, const char* type,
           const std::string& body, bool head) {
  mg_printf(conn,
            "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\n"
            "Cache-Control: no-store\r\nConnection: close\r\n\r\n",
            status, reason, type, body.size());
  if (!head) mg_write(conn, body.data(), body.size());
}

// The server says only that it could not set its port up; a bind of our
// own tells why (in use, not an address of this host, not allowed).
std::string WhyNotListening(const ListenAddress& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  sockaddr_storage storage{};
  socklen_t size = 0;
  if (v6) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(static_cast<std::uint16_t>(address.port));
    inet_pton(AF_INET6, address.host.c_str(), &in6->sin6_addr);
    size = sizeof(*in6);
  } else {
    auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(static_cast<std::uint16_t>(address.port));
    inet_pton(AF_INET, address.host.c_str(), &in4->sin_addr);
    size = sizeof(*in4);
  }
  const int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::strerror(errno);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  std::string why;
  if (bind(fd, reinterpret_cast<sockaddr*>(&storage), size) != 0) why = std::strerror(errno);
  close(fd);
  return why;
}

}  // namespace

int MetricsServer::Handle(mg_connection* conn, void* self) {
  const mg_request_info* request = mg_get_request_info(conn);
  const std::string method = request->request_method != nullptr ? request->request_method : "";
  const std::string uri = request->local_uri != nullptr ? request->local_uri : "";
  const bool head = method == "HEAD";
  if (method != "GET" && !head) {
    Reply(conn, 405, "Method Not Allowed", "text/plain; charset=utf-8", "GET only\n", head);
  } else if (uri == "/metrics") {
    Reply(conn, 200, "OK", kExpositionContentType, static_cast<MetricsServer*>(self)->body_(),
          head);
  } else if (uri == "/") {
    Reply(conn, 200, "OK", "text/html; charset=utf-8", kLandingPage, head);
  } else {
    Reply(conn, 404, "Not Found", "text/plain; charset=utf-8", "Not found: try /metrics\n", head);
  }
  return 1;  // answered
}

Result<std::unique_ptr<MetricsServer>> MetricsServer::Start(const ListenAddress& address,
                                                            Body body) {
  static std::once_flag library;
  std::call_once(library, [] { mg_init_library(0); });

  const std::string ports = address.Text();
  constexpr unsigned kIpv6Feature = 8;
  if (address.host.find(':') != std::string::npos && mg_check_feature(kIpv6Feature) == 0) {
    return Status::InvalidArgument("metrics: cannot listen on " + ports +
                                   ": this system's civetweb has no IPv6; give an IPv4 address "
                                   "such as 127.0.0.1:" +
                                   std::to_string(address.port));
  }
  std::unique_ptr<MetricsServer> server(new MetricsServer(std::move(body)));
  const char* options[] = {"listening_ports",    ports.c_str(), "num_threads", "2",
                           "request_timeout_ms", "10000",       nullptr};
  mg_callbacks callbacks{};
  // The server's own messages would go to standard error with no context;
  // what matters (a failed start) comes back as the start's error.
  callbacks.log_message = [](const mg_connection*, const char*) { return 1; };
  mg_init_data init{};
  init.callbacks = &callbacks;
  init.configuration_options = options;
  std::array<char, 256> text{};
  unsigned code = 0;
  mg_error_data error{};
  error.code = &code;
  error.text = text.data();
  error.text_buffer_size = text.size();
  server->context_ = mg_start2(&init, &error);
  if (server->context_ == nullptr) {
    std::string why = WhyNotListening(address);
    if (why.empty()) why = text[0] != '\0' ? text.data() : "the server did not start";
    return Status::IoError("metrics: cannot listen on " + ports + ": " + why);
  }
  // Both, so that no path escapes Handle whatever the server's matching.
  for (const char* uri : {"/", "/metrics"})
    mg_set_request_handler(server->context_, uri, &MetricsServer::Handle, server.get());
  return server;
}

MetricsServer::~MetricsServer() {
  if (context_ != nullptr) mg_stop(context_);
}

}  // namespace plovex
