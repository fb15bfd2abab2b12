#pragma once
// Which main-window command may run for what is selected. One table holds a
// cell per command and column; the window only maps commands to its buttons
// and menu items and asks the table.
#include <array>

namespace kiv {

enum AvailabilityColumn : int {
    ColGroup = 0,
    ColKind5,
    ColKind6,
    ColKind7,
    ColKind8,
    ColKind9,
    ColStationSet,
    ColNoStation,
    kAvailabilityColumns
};

enum MainCommand : int {
    CmdTransmisja = 0,
    CmdModem,
    CmdModemAuto,
    CmdKivGaz,
    CmdCurData,
    CmdEvents,
    CmdGraph,
    CmdReport,     // period and daily report
    CmdConfig,     // station configuration, also "Bieżąca stacja"
    CmdCapacity,
    CmdExport,     // CSV and DZN
    CmdOptimise,
    CmdRemoveVirtual,
    kMainCommands
};

// Off: disabled; On: enabled; Any: enabled when some station has a telephone number.
enum Availability : char { Off = '-', On = 'o', Any = 'a' };

using AvailabilityRow = std::array<Availability, kAvailabilityColumns>;
[[nodiscard]] const AvailabilityRow& AvailabilityOf(MainCommand command);

// Column of a node kind (0..9); kinds without a column give ColNoStation.
[[nodiscard]] AvailabilityColumn ColumnOfKind(int kind);

[[nodiscard]] bool CommandEnabled(MainCommand command, AvailabilityColumn column, int telephoneCount);

} // namespace kiv
