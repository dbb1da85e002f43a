#pragma once
// The configuration panel's decisions that need no widgets: the tree's nodes
// and the page each one shows, the timer period a Refresh gives, and the
// stepping of an up-down control. (Whether Apply restarts the graph is the
// core's: core/apply_restart.h.)
#include <array>
#include <cstdint>

namespace plovex {

// One node of the panel's tree, listed in pre-order. A node shows the page
// whose index equals its own pre-order index over all nodes (children count
// whether or not their parent is expanded).
struct PanelNode {
  const char* text;
  int parent;  // index of the parent node, -1 for a top-level node
  const char* page_caption;
};

inline constexpr std::array<PanelNode, 18> kPanelNodes = {{
    {"About", -1, "About"},
    {"Network", -1, "Network"},
    {"SNMP", 1, "SNMP"},
    {"Graph", -1, "Graph"},
    {"OID1", 3, "GraphOID1"},
    {"OID2", 3, "GraphOID2"},
    {"Ticks", 3, "Ticks"},
    {"Refresh", 3, "Refresh"},
    {"GIF", 3, "GIF"},
    {"Text", -1, "Text"},
    {"Text 1", 9, "Text 1"},
    {"Text 2", 9, "Text 2"},
    {"Text 3", 9, "Text 3"},
    {"Text 4", 9, "Text 4"},
    {"Text 5", 9, "Text 5"},
    {"Reset", -1, "Reset"},
    {"Usage", -1, "Usage"},
    {"Notifications", -1, "Notifications"},
}};

// The page of the SNMP version and the version 3 user.
inline constexpr const char* kSnmpPageCaption = "SNMP";

// The tick timer's period for a Refresh in seconds, in milliseconds. Large
// values saturate at the timer's limit instead of wrapping; 0 and negative
// values give 0 (a timer that does not fire).
std::int64_t TimerPeriodMs(std::int32_t refresh);

// An up-down control's range and stepping: positions are 16-bit signed,
// steps move by one and stop at the ends without wrapping, and a position set
// from outside the range lands on the nearer end.
struct UpDownRange {
  std::int16_t min;
  std::int16_t max;

  std::int16_t Clamp(std::int64_t position) const;
  std::int16_t Step(std::int16_t position, int delta) const { return Clamp(position + delta); }
  bool Contains(std::int64_t position) const { return position >= min && position <= max; }
};

}  // namespace plovex
