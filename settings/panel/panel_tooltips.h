#pragma once
// The tooltip of every control of the configuration panel: what it means and
// in which unit, for the captions the pages keep short. Keyed by the
// control's object name; "#" stands for the page's digit (OID 1 and 2, Text 1
// to 5).
#include <array>

namespace plovex {

struct PanelToolTip {
  const char* name;
  const char* text;
};

inline constexpr std::array<PanelToolTip, 42> kPanelToolTips = {{
    {"Button1", "Applies and saves the settings, and goes back to the graph (Enter)"},
    {"Button4", "Forgets what was typed and goes back to the graph (Escape)"},
    {"edtMax", "The full scale of the graph, in bytes per second: a rate this high fills it"},
    {"edtTextSize", "The size of the texts drawn on the picture, in points (1 to 72)"},
    {"udTextSize", "The size of the texts drawn on the picture, in points (1 to 72)"},
    {"edtGTX", "Left edge of the graph area, in picture pixels (0 to 400)"},
    {"edtGTY", "Top edge of the graph area, in picture pixels (0 to 160)"},
    {"edtGBX", "Right edge of the graph area, in picture pixels (0 to 400)"},
    {"edtGBY", "Bottom edge of the graph area, in picture pixels (0 to 160)"},
    {"chkTotal", "Draws the megabytes counted by both counters on the picture"},
    {"edtTotalX", "Where the totals are drawn: X in picture pixels from the left"},
    {"edtTotalY", "Where the totals are drawn: Y in picture pixels from the top"},
    {"chkSaveGIF", "Writes the picture as Plovex.gif at every refresh"},
    {"edtSaveGifFreq",
     "Minutes between time-stamped copies (\"Plovex 9h5m.gif\"); 0 = no time-stamped copies"},
    {"udSaveGifFreq",
     "Minutes between time-stamped copies (\"Plovex 9h5m.gif\"); 0 = no time-stamped copies"},
    {"edtGifFolder", "The folder the pictures are written to; empty for the default below"},
    {"btnGifFolder", "Chooses the picture folder"},
    {"btnOpenGifFolder", "Shows the picture folder in the file manager"},
    {"chkVticks", "Draws a vertical line on the graph every tick period (see Refresh)"},
    {"chkHticks", "Draws level marks at 0%, 25%, 50%, 75% and 100% of the full scale"},
    {"chkGLabel", "Shows the full scale in kB/s at the top of the graph"},
    {"edtRefresh", "Seconds between two polls of the host (1 to 3600)"},
    {"udRefresh", "Seconds between two polls of the host (1 to 3600)"},
    {"edtTickFreq", "Minutes between two vertical ticks on the graph (1 to 1440)"},
    {"udTickFreq", "Minutes between two vertical ticks on the graph (1 to 1440)"},
    {"edtNotifyDownPolls",
     "Tries in a row without an answer before a notification says the host is silent; 0 = never"},
    {"udNotifyDownPolls",
     "Tries in a row without an answer before a notification says the host is silent; 0 = never"},
    {"edtNotifyRateAbove",
     "A notification when a channel's rate stays above this many bytes per second; 0 = never"},
    {"edtNotifyRateSeconds", "Seconds the rate must stay above the limit before it is told"},
    {"udNotifyRateSeconds", "Seconds the rate must stay above the limit before it is told"},
    {"chkNotifyCap",
     "A notification when the period's usage reaches 80 %, 90 % and 100 % of the cap, once each"},
    {"edtInterface",
     "The interface name the counters follow when the router renumbers them; "
     "empty to keep the identifiers as typed"},
    {"shpOID#", "The colour of counter # below the full scale"},
    {"btnOID#", "Chooses the colour of counter # below the full scale"},
    {"shpOID#Max", "The colour of counter # where it reaches the full scale"},
    {"btnOID#Max", "Chooses the colour of counter # where it reaches the full scale"},
    {"chkFullOID#", "Draws counter # as filled bars; unchecked, as a line"},
    {"chkGradientOID#", "Shades the bars of counter # from its colour to its maximum colour"},
    {"edtXOID#", "Where the rate of counter # is drawn: X in picture pixels from the left"},
    {"edtYOID#", "Where the rate of counter # is drawn: Y in picture pixels from the top"},
    {"edtOID#", "The SNMP identifier of counter # (an octet counter, bytes)"},
    {"btnInterfacesOID#", "Lists the host's interfaces to pick the counter from"},
}};

inline constexpr std::array<PanelToolTip, 6> kOverlayToolTips = {{
    {"chkTxt#", "Shows text # on the picture"},
    {"edtTXT#", "The text drawn; %# stands for the value read from the identifier below"},
    {"edtP#", "The SNMP identifier whose value replaces %#"},
    {"cbp#Time",
     "How the value is shown: String as read, Time as days and clock time, NextAdp "
     "as the first address that is not the host's"},
    {"edtTXT#X", "Where text # is drawn: X in picture pixels from the left"},
    {"edtTXT#Y", "Where text # is drawn: Y in picture pixels from the top"},
}};

}  // namespace plovex
