#include "history/usage_csv.h"

namespace plovex {

namespace {

// A field as RFC 4180 has it: quoted when it holds a separator, a quote or
// a line break, its quotes doubled.
std::string Field(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string N(std::int64_t v) { return std::to_string(v); }

}  // namespace

std::string UsageCsv(const UsageKey& key, const UsageSeries& series, const UsageTables& tables) {
  const std::string host = Field(key.host), interface = Field(key.interface);
  std::string csv =
      "host,interface,start,end,in_bytes,out_bytes,peak_in_bytes_per_s,peak_out_bytes_per_s\r\n";
  for (const UsageBucket& b : series.buckets) {
    csv += host + "," + interface + "," + IsoLocal(b.start) + "," + IsoLocal(b.end) + "," +
           N(b.in_bytes) + "," + N(b.out_bytes) + "," + N(b.peak_in) + "," + N(b.peak_out) + "\r\n";
  }
  csv += "\r\nhost,interface,date,in_bytes,out_bytes,total_bytes\r\n";
  for (const UsageRow& day : tables.days) {
    csv += host + "," + interface + "," + LocalDate(day.start) + "," + N(day.in_bytes) + "," +
           N(day.out_bytes) + "," + N(day.total()) + "\r\n";
  }
  return csv;
}

}  // namespace plovex
