#include "shell/model/command_availability.h"

#include "shell/model/station_tree.h"

namespace kiv {

namespace {

// Columns: group, kinds 5, 6, 7, 8, 9, station set, no station.
constexpr std::array<AvailabilityRow, kMainCommands> kTable{{
    /* Transmisja     */ {Off, On, Off, On, On, Off, Off, Off},
    /* Modem          */ {Off, Off, Off, On, Off, Off, Off, Off},
    /* Modem - auto   */ {Any, Any, Any, Any, Any, Off, Off, Off},
    /* KivGAZ         */ {On, On, On, On, On, On, Off, On},
    /* Dane bieżące   */ {Off, On, Off, On, On, Off, Off, Off},
    /* Zdarzenia      */ {Off, On, Off, On, On, Off, Off, Off},
    /* Grafika        */ {Off, On, On, On, On, On, Off, Off},
    /* Raporty        */ {Off, On, On, On, On, On, On, Off},
    /* Konfiguracja   */ {Off, On, On, On, On, On, Off, Off},
    /* Moc zamówiona  */ {Off, On, On, On, On, On, Off, Off},
    /* Eksport        */ {Off, On, On, On, On, Off, On, Off},
    /* Optymalizacja  */ {Off, On, On, On, On, On, Off, Off},
    /* Usuń wirtualną */ {Off, Off, Off, Off, Off, On, Off, Off},
}};

} // namespace

const AvailabilityRow& AvailabilityOf(MainCommand command) { return kTable[static_cast<std::size_t>(command)]; }

AvailabilityColumn ColumnOfKind(int kind) {
    switch (kind) {
    case KindGroup:
    case KindGroupSelected: return ColGroup;
    case KindStation: return ColKind5;
    case KindNoProfile: return ColKind6;
    case KindModem: return ColKind7;
    case KindPhone: return ColKind8;
    case KindVirtual: return ColKind9;
    default: return ColNoStation;
    }
}

bool CommandEnabled(MainCommand command, AvailabilityColumn column, int telephoneCount) {
    switch (AvailabilityOf(command)[static_cast<std::size_t>(column)]) {
    case On: return true;
    case Any: return telephoneCount > 0;
    case Off: break;
    }
    return false;
}

} // namespace kiv
