#include "core/column_walk.h"

#include <algorithm>
#include <vector>

#include "snmp/ber_format.h"
#include "snmp/oid_order.h"

namespace plovex {
namespace {

constexpr std::int32_t kNoSuchName = 2;

struct Column {
  std::size_t position;  // in the caller's list
  std::string prefix;    // the column's identifier and a dot
  std::string at;        // the last identifier asked for
};

}  // namespace

Status WalkColumns(const TPlovexSettings& s, TSNMPSend& client,
                   std::span<const std::string> columns, const ColumnVisitor& visit,
                   const ColumnWalkLimits& limits) {
  std::vector<Column> active;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string canonical = CanonicalOid(columns[i]);
    active.push_back({i, canonical + '.', canonical});
  }
  const std::int32_t version = s.SnmpMessageVersion();
  const bool bulk = version != ber::kVersion1;
  const std::int64_t deadline = client.NowMs() + limits.budget_ms;
  std::size_t rows = 0;
  for (bool first = true; !active.empty(); first = false) {
    if (!first) {
      if (limits.interruption != nullptr && limits.interruption->Requested()) break;
      if (client.NowMs() >= deadline) break;
    }
    TSNMPRec& request = client.Request;
    request.Reset();
    client.Host = s.Ip;
    request.Version = version;
    request.Community = s.Community;
    request.PduType = bulk ? ber::kGetBulkRequest : ber::kGetNextRequest;
    // max-repetitions rides in the error-index field; no non-repeaters.
    if (bulk) request.ErrorIndex = limits.bulk_rows;
    for (const Column& c : active) request.AddVarBind(c.at, "", ber::kNull);
    client.Timeout = first ? limits.timeout_ms
                           : static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                 deadline - client.NowMs(), 1, limits.timeout_ms));
    if (!client.Exchange()) {
      if (first) return client.LastStatus();
      break;
    }
    const TSNMPRec& r = client.Response;
    if (r.ErrorStatus == kNoSuchName && !bulk && r.ErrorIndex >= 1 &&
        static_cast<std::size_t>(r.ErrorIndex) <= active.size()) {
      // A version 1 agent ends its view so: that column is done.
      active.erase(active.begin() + (r.ErrorIndex - 1));
      continue;
    }
    if (r.ErrorStatus != 0) {
      if (!first) break;
      return Status::Refused("the agent answered with error " + std::to_string(r.ErrorStatus));
    }
    // The rows come column by column within each repetition.
    const auto binds = r.VarBinds();
    const std::size_t width = active.size();
    std::vector<bool> done(width, false);
    for (std::size_t i = 0; i < binds.size(); ++i) {
      const std::size_t k = i % width;
      if (!bulk && i >= width) break;
      if (done[k]) continue;
      Column& c = active[k];
      const TSNMPMib& b = binds[i];
      if (b.Tag == ber::kEndOfMibView || b.Oid.compare(0, c.prefix.size(), c.prefix) != 0 ||
          b.Oid.size() == c.prefix.size() || CompareOids(b.Oid, c.at) <= 0) {
        done[k] = true;
        continue;
      }
      visit(c.position, b.Oid.substr(c.prefix.size()), b);
      c.at = b.Oid;
      if (++rows >= limits.max_rows * columns.size()) return Status::Ok();
    }
    // A column the reply did not reach goes on from where it stood.
    std::vector<Column> next;
    for (std::size_t k = 0; k < width; ++k) {
      if (!done[k]) next.push_back(std::move(active[k]));
    }
    if (binds.empty()) break;
    active = std::move(next);
  }
  return Status::Ok();
}

}  // namespace plovex
