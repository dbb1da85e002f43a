#pragma once
// WalkColumns: reads several table columns of the agent side by side, the
// way the interface list and the interface lookup read the interface table:
// one GetBulkRequest sequence in versions 2c and 3 (every column a repeater,
// `bulk_rows` rows at a time), GetNextRequests naming every column in
// version 1. The client must already be set up for the settings
// (ConfigureClient); host, community and version are the settings'.
//
// Each row the agent returns inside a column is handed to `visit` with the
// column's position in `columns` and the row's index (the identifier after
// the column's, "7" or "198.51.100.7"). A column ends at its last row, at the
// end of the agent's view, at an identifier that does not follow the one asked
// for (an echo, a loop), or when the agent refuses it (noSuchName in version
// 1); the walk ends when every column has, after `max_rows` rows per column
// (counted over all columns), when `budget_ms` have gone by, or when
// `interruption` is requested.
// Bounded so, it ends ok with what it found.
//
// Failure: the first request unanswered (the client's LastStatus: kTimedOut,
// a version 3 refusal, ...) or an error-status other than noSuchName fails
// the walk; a later request unanswered ends it ok with the rows read so far.
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "base/status.h"
#include "core/plovex_settings.h"
#include "core/poll_interruption.h"
#include "snmp/tsnmp_mib.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

struct ColumnWalkLimits {
  std::size_t max_rows = 1000;
  std::int64_t budget_ms = 4000;
  std::int32_t bulk_rows = 10;
  std::int32_t timeout_ms = 1000;  // per request
  const PollInterruption* interruption = nullptr;
};

using ColumnVisitor =
    std::function<void(std::size_t column, const std::string& index, const TSNMPMib& value)>;

Status WalkColumns(const TPlovexSettings& s, TSNMPSend& client,
                   std::span<const std::string> columns, const ColumnVisitor& visit,
                   const ColumnWalkLimits& limits = {});

}  // namespace plovex
