#include "core/interface_table.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>

#include "core/column_walk.h"
#include "core/format_rate.h"
#include "snmp/ber_format.h"

namespace plovex {
namespace {

enum ColumnId : std::size_t {
  kDescr,
  kType,
  kSpeed,
  kAdmin,
  kOper,
  kIn,
  kOut,
  kName,
  kHighSpeed,
  kAlias,
  kAddressIfIndex,
  kHCIn,  // last: version 1 leaves the 64-bit counters out
  kHCOut,
};
const std::string kColumns[] = {
    "1.3.6.1.2.1.2.2.1.2",
    "1.3.6.1.2.1.2.2.1.3",
    "1.3.6.1.2.1.2.2.1.5",
    "1.3.6.1.2.1.2.2.1.7",
    "1.3.6.1.2.1.2.2.1.8",
    kIfInOctets,
    kIfOutOctets,
    "1.3.6.1.2.1.31.1.1.1.1",
    "1.3.6.1.2.1.31.1.1.1.15",
    "1.3.6.1.2.1.31.1.1.1.18",
    "1.3.6.1.2.1.4.20.1.2",
    kIfHCInOctets,
    kIfHCOutOctets,
};
// Rows per GetRequest of ReadInterfaceRates: two bindings each, well inside
// the smallest message an agent must take.
constexpr std::size_t kRowsPerRequest = 8;

std::optional<std::uint64_t> Unsigned(const std::string& text) {
  std::uint64_t v = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end || text.empty()) return std::nullopt;
  return v;
}

std::int32_t Int32(const std::string& text) {
  const std::optional<std::uint64_t> v = Unsigned(text);
  return v && *v <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())
             ? static_cast<std::int32_t>(*v)
             : 0;
}

// The counter difference between two readings, across one wrap of a 32-bit
// counter.
std::uint64_t Growth(std::uint64_t before, std::uint64_t after, bool wide) {
  if (wide) return after - before;
  return (after - before) & 0xFFFFFFFFu;
}

std::uint64_t PerSecond(std::uint64_t growth, std::int64_t elapsed_ms) {
  const auto ms = static_cast<std::uint64_t>(elapsed_ms);
  return growth / ms * 1000 + growth % ms * 1000 / ms;
}

bool UsesHC(const TPlovexSettings& s, const InterfaceRow& row) {
  return row.hc_counters && s.SnmpMessageVersion() != ber::kVersion1;
}

}  // namespace

Result<InterfaceTable> ReadInterfaceTable(const TPlovexSettings& s, TSNMPSend& client,
                                          const PollInterruption* interruption) {
  const bool v1 = s.SnmpMessageVersion() == ber::kVersion1;
  const std::span<const std::string> columns(kColumns, v1 ? kHCIn : std::size(kColumns));
  std::map<std::int32_t, InterfaceRow> rows;
  InterfaceTable table;
  std::uint64_t high_speed = 0;
  std::map<std::int32_t, std::uint64_t> high_speeds;
  const Status walked = WalkColumns(
      s, client, columns,
      [&](std::size_t column, const std::string& index, const TSNMPMib& b) {
        if (column == kAddressIfIndex) {
          // The WAN overlay's rule, on the address that names the row.
          if (index.find(s.Ip) == std::string::npos && index.find("0.0.0.0") == std::string::npos) {
            table.wan_index = Int32(b.Value);
          }
          return;
        }
        const std::int32_t if_index = Int32(index);
        if (if_index <= 0) return;
        InterfaceRow& row = rows[if_index];
        row.index = if_index;
        switch (column) {
          case kDescr:
            row.descr = b.Value;
            break;
          case kType:
            row.type = Int32(b.Value);
            break;
          case kSpeed:
            row.speed_bps = Unsigned(b.Value).value_or(0);
            break;
          case kAdmin:
            row.admin_status = Int32(b.Value);
            break;
          case kOper:
            row.oper_status = Int32(b.Value);
            break;
          case kName:
            row.name = b.Value;
            break;
          case kAlias:
            row.alias = b.Value;
            break;
          case kHighSpeed:
            high_speed = Unsigned(b.Value).value_or(0);
            if (high_speed > 0) high_speeds[if_index] = high_speed;
            break;
          case kIn:
            if (!row.hc_counters) row.in_octets = Unsigned(b.Value).value_or(0);
            break;
          case kOut:
            if (!row.hc_counters) row.out_octets = Unsigned(b.Value).value_or(0);
            break;
          case kHCIn:
            if (b.Tag == ber::kCounter64) {
              row.hc_counters = true;
              row.in_octets = Unsigned(b.Value).value_or(0);
            }
            break;
          case kHCOut:
            if (row.hc_counters) row.out_octets = Unsigned(b.Value).value_or(0);
            break;
          default:
            break;
        }
      },
      {.interruption = interruption});
  if (!walked.ok()) return walked;
  if (rows.empty()) return Status::NotFound("the agent lists no interfaces");
  for (auto& [index, row] : rows) {
    // ifSpeed stops at 4,294,967,295; ifHighSpeed counts in millions.
    if (const auto it = high_speeds.find(index); it != high_speeds.end()) {
      row.speed_bps = it->second * 1000000;
    }
    table.rows.push_back(std::move(row));
  }
  table.read_at_ms = client.NowMs();
  return table;
}

Status ReadInterfaceRates(const TPlovexSettings& s, TSNMPSend& client, InterfaceTable& table) {
  const std::int64_t now = client.NowMs();
  const std::int64_t elapsed = now - table.read_at_ms;
  bool answered = false;
  Status last;
  for (std::size_t first = 0; first < table.rows.size(); first += kRowsPerRequest) {
    const std::size_t end = std::min(first + kRowsPerRequest, table.rows.size());
    TSNMPRec& request = client.Request;
    request.Reset();
    client.Host = s.Ip;
    client.Timeout = 1000;
    request.Version = s.SnmpMessageVersion();
    request.Community = s.Community;
    request.PduType = ber::kGetRequest;
    std::vector<std::pair<std::string, std::string>> oids;
    for (std::size_t i = first; i < end; ++i) {
      const InterfaceRow& row = table.rows[i];
      const bool hc = UsesHC(s, row);
      const std::string n = "." + std::to_string(row.index);
      oids.emplace_back((hc ? kIfHCInOctets : kIfInOctets) + n,
                        (hc ? kIfHCOutOctets : kIfOutOctets) + n);
      request.AddVarBind(oids.back().first, "", ber::kNull);
      request.AddVarBind(oids.back().second, "", ber::kNull);
    }
    if (!client.Exchange()) {
      last = client.LastStatus();
      continue;
    }
    answered = true;
    if (client.Response.ErrorStatus != 0) continue;
    for (std::size_t i = first; i < end; ++i) {
      InterfaceRow& row = table.rows[i];
      const auto in = Unsigned(client.Response.FindValue(oids[i - first].first));
      const auto out = Unsigned(client.Response.FindValue(oids[i - first].second));
      if (!in || !out) continue;
      const bool wide = UsesHC(s, row);
      if (elapsed > 0) {
        row.in_rate = PerSecond(Growth(row.in_octets, *in, wide), elapsed);
        row.out_rate = PerSecond(Growth(row.out_octets, *out, wide), elapsed);
      }
      row.in_octets = *in;
      row.out_octets = *out;
    }
  }
  table.read_at_ms = now;
  if (!answered && !table.rows.empty()) return last;
  return Status::Ok();
}

std::optional<std::size_t> PreselectedRow(const InterfaceTable& table) {
  if (table.rows.empty()) return std::nullopt;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    if (table.wan_index != 0 && table.rows[i].index == table.wan_index) return i;
  }
  std::optional<std::size_t> best;
  auto load = [](const InterfaceRow& r) {
    return r.in_rate && r.out_rate ? *r.in_rate + *r.out_rate : 0;
  };
  auto octets = [](const InterfaceRow& r) { return r.in_octets + r.out_octets; };
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const InterfaceRow& r = table.rows[i];
    if (!r.Up() || r.Loopback()) continue;
    if (!best) {
      best = i;
      continue;
    }
    const InterfaceRow& b = table.rows[*best];
    const bool busier = load(r) != load(b) ? load(r) > load(b) : octets(r) > octets(b);
    if (busier) best = i;
  }
  return best.value_or(0);
}

InterfaceChoice ChooseInterface(const TPlovexSettings& s, const InterfaceRow& row) {
  const bool hc = UsesHC(s, row);
  const std::string n = "." + std::to_string(row.index);
  InterfaceChoice choice{(hc ? kIfHCInOctets : kIfInOctets) + n,
                         (hc ? kIfHCOutOctets : kIfOutOctets) + n, row.Name(), std::nullopt};
  if (row.speed_bps >= 8) {
    // Beyond 17 Gbit/s the full scale stops at what the setting can hold.
    choice.max_bytes = static_cast<std::int32_t>(std::min<std::uint64_t>(
        row.speed_bps / 8, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
  }
  return choice;
}

std::string InterfaceTypeText(std::int32_t type) {
  switch (type) {
    case 6:
      return "ethernet";
    case 23:
      return "ppp";
    case 24:
      return "loopback";
    case 53:
      return "virtual";
    case 71:
      return "wifi";
    case 131:
      return "tunnel";
    case 135:
      return "vlan";
    case 209:
      return "bridge";
    case 243:
    case 244:
      return "mobile";
    default:
      return "type " + std::to_string(type);
  }
}

std::string InterfaceStatusText(const InterfaceRow& row) {
  if (row.admin_status == 2) return "admin down";
  switch (row.oper_status) {
    case 1:
      return "up";
    case 2:
      return "down";
    case 3:
      return "testing";
    case 5:
      return "dormant";
    case 6:
      return "not present";
    case 7:
      return "lower layer down";
    default:
      return "unknown";
  }
}

std::string SpeedText(std::uint64_t bps) {
  if (bps == 0) return "";
  for (const auto& [unit, name] : {std::pair<std::uint64_t, const char*>{1000000000, "Gbit/s"},
                                   {1000000, "Mbit/s"},
                                   {1000, "kbit/s"}}) {
    if (bps >= unit && bps % unit == 0) return std::to_string(bps / unit) + " " + name;
  }
  if (bps >= 1000000) return std::to_string(bps / 1000000) + " Mbit/s";
  return std::to_string(bps) + " bit/s";
}

std::string RowRateText(const std::optional<std::uint64_t>& rate) {
  if (!rate) return "-";
  return FormatRate(static_cast<std::int64_t>(
      std::min<std::uint64_t>(*rate, std::numeric_limits<std::int64_t>::max())));
}

}  // namespace plovex
