#include "shell/interface_lister.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

#include "core/snmp_security.h"
#include "shell/stored_settings.h"
#include "snmp/tsnmp_send.h"

namespace plovex {
namespace {

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text + ' ';
}

}  // namespace

std::string InterfaceListText(const TPlovexSettings& s, const InterfaceTable& table) {
  const std::optional<std::size_t> offered = PreselectedRow(table);
  std::size_t name_width = 4;
  for (const InterfaceRow& row : table.rows) name_width = std::max(name_width, row.Name().size());
  std::string text = "  " + Padded("index", 5) + Padded("name", name_width) + Padded("type", 9) +
                     Padded("status", 10) + Padded("speed", 11) +
                     "counters (in, out)  rates (in, out)\n";
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const InterfaceRow& row = table.rows[i];
    const InterfaceChoice choice = ChooseInterface(s, row);
    text += (offered == i ? "* " : "  ") + Padded(std::to_string(row.index), 5) +
            Padded(row.Name(), name_width) + Padded(InterfaceTypeText(row.type), 9) +
            Padded(InterfaceStatusText(row), 10) + Padded(SpeedText(row.speed_bps), 11) +
            choice.oid1 + ' ' + choice.oid2 + "  " + RowRateText(row.in_rate) + ", " +
            RowRateText(row.out_rate) + '\n';
  }
  return text;
}

int RunInterfacesProgram(const std::string& hive_path, std::ostream& out, std::ostream& err) {
  Result<TPlovexSettings> loaded = LoadStoredSettings(hive_path);
  if (!loaded.ok()) {
    err << "plovex: " << loaded.status().message() << std::endl;
    return 1;
  }
  TPlovexSettings& settings = *loaded;
  TSNMPSend client;
  if (const Status usable = ConfigureClient(settings, client); !usable.ok()) {
    err << "plovex: SNMP version 3: " << usable.message() << std::endl;
    return 1;
  }
  Result<InterfaceTable> table = ReadInterfaceTable(settings, client);
  if (!table) {
    err << "plovex: no interface list from " << settings.Ip << ": " << table.status().message()
        << std::endl;
    return 1;
  }
  // The rates need a second reading, a second later.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  static_cast<void>(ReadInterfaceRates(settings, client, *table));
  out << InterfaceListText(settings, *table);
  if (!settings.Interface.empty()) out << "Interface: " << settings.Interface << '\n';
  return out.flush() ? 0 : 1;
}

}  // namespace plovex
