#pragma once
// The agent's interfaces, as the "Interfaces…" list and `plovex --interfaces`
// show them, and the choice of one of them for the two counters.
//
// ReadInterfaceTable walks the interface table (IF-MIB ifTable and ifXTable)
// and the address table's ipAdEntIfIndex column in one WalkColumns sequence
// (so with its bounds in rows and time), with the settings' host, version and
// community through a client the caller set up (ConfigureClient). The octet
// counters read by the walk are the first reading; ReadInterfaceRates, at
// least a second later, reads them again and fills the rates.
//
// Failure: what WalkColumns says when the agent did not answer; an agent with
// no interface table fails with kNotFound "the agent lists no interfaces".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "core/poll_interruption.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

inline constexpr char kIfInOctets[] = "1.3.6.1.2.1.2.2.1.10";
inline constexpr char kIfOutOctets[] = "1.3.6.1.2.1.2.2.1.16";
inline constexpr char kIfHCInOctets[] = "1.3.6.1.2.1.31.1.1.1.6";
inline constexpr char kIfHCOutOctets[] = "1.3.6.1.2.1.31.1.1.1.10";

struct InterfaceRow {
  std::int32_t index = 0;  // ifIndex
  std::string name;        // ifName
  std::string descr;       // ifDescr
  std::string alias;       // ifAlias
  std::int32_t type = 0;   // ifType (IANAifType)
  std::int32_t admin_status = 0;
  std::int32_t oper_status = 0;
  std::uint64_t speed_bps = 0;  // ifHighSpeed in bits per second, else ifSpeed; 0 unknown
  // ifHCInOctets answered as a Counter64 (never in version 1).
  bool hc_counters = false;
  // The last reading of the counters the row would use, and the rates in
  // bytes per second between the last two readings (nullopt before the second).
  std::uint64_t in_octets = 0;
  std::uint64_t out_octets = 0;
  std::optional<std::uint64_t> in_rate;
  std::optional<std::uint64_t> out_rate;

  // ifName, else ifDescr: the name the "Interface" setting holds.
  const std::string& Name() const { return name.empty() ? descr : name; }
  bool Up() const { return oper_status == 1; }
  bool Loopback() const { return type == 24; }  // softwareLoopback
};

struct InterfaceTable {
  std::vector<InterfaceRow> rows;  // in ifIndex order
  // The ifIndex of the address the WAN overlay finds (the last one that
  // contains neither the host's address nor "0.0.0.0"); 0 when none.
  std::int32_t wan_index = 0;
  std::int64_t read_at_ms = 0;  // when the counters were last read, on the client's clock
};

Result<InterfaceTable> ReadInterfaceTable(const TPlovexSettings& s, TSNMPSend& client,
                                          const PollInterruption* interruption = nullptr);

// Reads every row's counters again (GetRequests of a few rows each) and sets
// the rates over the time since the last reading. A row whose counters did
// not answer keeps its rates unknown. Fails only when nothing answered.
Status ReadInterfaceRates(const TPlovexSettings& s, TSNMPSend& client, InterfaceTable& table);

// The row to offer first: the WAN overlay's interface; else the busiest
// interface that is up and not a loopback (by rate once known, else by
// octets); else the first row. nullopt for an empty table.
std::optional<std::size_t> PreselectedRow(const InterfaceTable& table);

// What choosing a row fills in.
struct InterfaceChoice {
  std::string oid1;  // the in octets counter, 64 bits where the row has them and the version allows
  std::string oid2;  // the out octets counter
  std::string name;  // the "Interface" setting
  std::optional<std::int32_t> max_bytes;  // the full scale from the speed: speed / 8
};
InterfaceChoice ChooseInterface(const TPlovexSettings& s, const InterfaceRow& row);

// "ethernet", "loopback", "ppp", ... or "type 53" for the type number.
std::string InterfaceTypeText(std::int32_t type);
// "up", "down", "admin down", "dormant", ...
std::string InterfaceStatusText(const InterfaceRow& row);
// "1 Gbit/s", "100 Mbit/s", "512 kbit/s", "" when unknown.
std::string SpeedText(std::uint64_t bits_per_second);
// A rate in bytes per second as "12.5 kB/s"; "-" when unknown.
std::string RowRateText(const std::optional<std::uint64_t>& rate);

}  // namespace plovex
