#include "comm/readout_stats.h"

#include "comm/device_readout.h"
#include "comm/modem_readout.h"

namespace kiv {
namespace {

constexpr const char* kNever = "nigdy";

// The results whose message is empty or long get a short text of their own.
std::string ReadOutText(int result) {
    switch (static_cast<TxResult>(result)) {
    case TxResult::SendTimeout: return "Port nie zakończył nadawania";
    case TxResult::BadClockReply: return "Błędna odpowiedź na odczyt zegara";
    case TxResult::NotStored: return "Części danych nie zapisano na dysku";
    case TxResult::WrongProfile: return "Urządzeniu przypisano niewłaściwy profil";
    case TxResult::UnknownDevice: return "Nieznane urządzenie pomiarowe";
    case TxResult::LenientNoise: return "Zakłócona odpowiedź urządzenia";
    case TxResult::Cancelled: return "Odczyt przerwany";
    case TxResult::Good: return "Odczyt zakończony";
    default: return ReadOutMessage(static_cast<TxResult>(result), {}).text;
    }
}

} // namespace

std::string AttemptResultText(int result, int dial) {
    if (result > 0) {
        const std::string text = ReadOutText(result);
        return (text.empty() ? "Wynik odczytu" : text) + " (" + std::to_string(result) + ")";
    }
    if (dial < 0) return "Brak połączenia z urządzeniem";
    const std::string text = ModemResultMessage(static_cast<TModemResult>(dial)).text;
    return (text.empty() ? "Brak połączenia" : text) + " (modem: " + std::to_string(dial) + ")";
}

std::vector<TStatsRow> StationStatsRows(const TStationStats& stats) {
    const bool tried = stats.lastResult >= 0;
    const std::string share =
        stats.attempts > 0 ? " (" + std::to_string(100LL * stats.good / stats.attempts) + "%)" : std::string();
    return {
        {"Ostatnia próba odczytu", stats.lastAttempt.empty() ? kNever : stats.lastAttempt},
        {"Ostatni pełny odczyt", stats.lastGood.empty() ? kNever : stats.lastGood},
        {"Wynik ostatniej próby", tried ? AttemptResultText(stats.lastResult, stats.lastDial) : "-"},
        {"Próby odczytu", std::to_string(stats.attempts)},
        {"Pełne odczyty", std::to_string(stats.good) + share},
    };
}

std::string StationStatsTip(const TStationStats& stats) {
    if (stats.attempts == 0 && stats.lastAttempt.empty()) return "Brak prób odczytu";
    std::string tip;
    for (const TStatsRow& row : StationStatsRows(stats))
        tip += (tip.empty() ? "" : "\n") + row.caption + ": " + row.value;
    return tip;
}

} // namespace kiv
