// The checks of kiv-cli argument values and the look-ups of what they name.
#include "cli_args.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "comm/comm_module.h"
#include "config/station_db.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

namespace fs = std::filesystem;

constexpr long kHighestPort = 128;

bool ParseLong(const std::string& text, long& value) {
    const char* end = text.data() + text.size();
    return !text.empty() && text[0] != '+' && std::from_chars(text.data(), end, value).ptr == end;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The one code point of the text; false for none, more or invalid UTF-8.
bool OneCodePoint(const std::string& text, uint32_t& codePoint) {
    if (text.empty() || !IsValidUtf8(text)) return false;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (text.size() != length) return false;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) codePoint = codePoint << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
    return true;
}

std::string BaudList() {
    std::string list;
    for (int32_t rate : kBaudRates) list += (list.empty() ? "" : ", ") + std::to_string(rate);
    return list;
}

} // namespace

bool ParseAddress(const std::string& text, int& address, std::string& error) {
    long value = 0;
    if (!ParseLong(text, value) || value < 1 || value > kMaxStationAddress) {
        error = "niepoprawny adres stacji " + Quoted(text) + " (oczekiwano liczby 1..65535)";
        return false;
    }
    address = static_cast<int>(value);
    return true;
}

bool ParseWhole(const std::string& what, const std::string& text, long low, long high, long& value,
                std::string& error) {
    if (!ParseLong(text, value) || value < low || value > high) {
        error = "niepoprawna wartość " + what + " " + Quoted(text) + " (oczekiwano liczby całkowitej " +
                std::to_string(low) + ".." + std::to_string(high) + ")";
        return false;
    }
    return true;
}

bool ParseTime(const std::string& what, const std::string& text, TimeStamp& stamp, std::string& error) {
    if (!ParseStamp(text, stamp)) {
        error = "niepoprawny czas " + what + " " + Quoted(text) + " (oczekiwano \"RRRR-MM-DD gg:mm:ss\")";
        return false;
    }
    return true;
}

bool ParseDay(const std::string& what, const std::string& text, TimeStamp& day, std::string& error) {
    // ParseStamp would also take a time of day after the date.
    if (text.size() != 10 || !ParseStamp(text, day)) {
        error = "niepoprawna data " + what + " " + Quoted(text) + " (oczekiwano RRRR-MM-DD)";
        return false;
    }
    return true;
}

bool ParseTimeOfDay(const std::string& what, const std::string& text, int& second, std::string& error) {
    const int limits[] = {23, 59, 59};
    bool good = text.size() == 8 && text[2] == ':' && text[5] == ':';
    second = 0;
    for (std::size_t i = 0; good && i < 3; ++i) {
        const char tens = text[3 * i], units = text[3 * i + 1];
        const int part = (tens - '0') * 10 + (units - '0');
        good = std::isdigit(static_cast<unsigned char>(tens)) && std::isdigit(static_cast<unsigned char>(units)) &&
               part <= limits[i];
        second = second * 60 + part;
    }
    if (!good)
        error = "niepoprawna godzina " + what + " " + Quoted(text) + " (oczekiwano GG:MM:SS, 00:00:00 .. 23:59:59)";
    return good;
}

bool ParseDecimalSeparator(const std::string& text, std::string& separator, std::string& error) {
    uint32_t c = 0;
    const bool one = OneCodePoint(text, c);
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    if (!one || control || c == ';' || (c >= '0' && c <= '9')) {
        error = "niepoprawny separator dziesiętny " + Quoted(text) +
                " (oczekiwano jednego znaku, który nie jest cyfrą, znakiem sterującym ani \";\")";
        return false;
    }
    separator = text;
    return true;
}

bool ParseTimeRange(const std::string& fromText, const std::string& toText, TimeStamp& from, TimeStamp& to,
                    std::string& error) {
    if (!ParseTime("OD", fromText, from, error) || !ParseTime("DO", toText, to, error)) return false;
    if (from > to) {
        error = "odwrócony zakres czasu: początek " + Quoted(fromText) + " jest późniejszy niż koniec " + Quoted(toText);
        return false;
    }
    return true;
}

bool ParseBaudRate(const std::string& text, int& baud, std::string& error) {
    long value = 0;
    for (int32_t rate : kBaudRates) {
        if (ParseLong(text, value) && value == rate) {
            baud = rate;
            return true;
        }
    }
    error = "niepoprawna prędkość transmisji " + Quoted(text) + " (dozwolone: " + BaudList() + ")";
    return false;
}

bool ParseParity(const std::string& text, std::string& error) {
    std::string list;
    for (const char* parity : kParityNames) {
        if (text == parity) return true;
        list += (list.empty() ? "" : ", ") + std::string(parity);
    }
    error = "niepoprawna parzystość " + Quoted(text) + " (dozwolone: " + list + ")";
    return false;
}

bool ParsePort(const std::string& text, std::string& error) {
    long number = 0;
    const bool com = text.rfind("COM", 0) == 0 && text.size() > 3 && text[3] != '0' &&
                     ParseLong(text.substr(3), number) && number >= 1 && number <= kHighestPort;
    if (com || (text.size() > 1 && text[0] == '/')) return true;
    error = "niepoprawny port " + Quoted(text) + " (oczekiwano COM1..COM128 albo ścieżki urządzenia, np. /dev/ttyUSB0)";
    return false;
}

int FindDataFolder(const std::string& text, std::string& folder, std::string& error) {
    std::error_code ec;
    if (text.empty() || !fs::is_directory(text, ec)) {
        error = "Wybrany katalog nie istnieje: " + text;
        return kExitNoInput;
    }
    folder = PathWithSeparator(text);
    return kExitOk;
}

int FindStation(const std::string& folder, int address, std::string& error) {
    std::error_code ec;
    const std::string file = StationFilePath(folder, address);
    if (fs::is_regular_file(file, ec)) return kExitOk;
    error = "brak stacji " + FiveDigits(address) + " w folderze danych " + folder + " (nie ma pliku " + file + ")";
    return kExitNoInput;
}

int FindChannel(const std::string& folder, int address, const std::string& channel, std::string& error) {
    // Month files are named nnnnn_yyyy_mm_CHANNEL.FCD.
    const std::string head = FiveDigits(address) + "_";
    const std::string tail = "_" + channel + ".FCD";
    const std::size_t length = head.size() + 7 + tail.size();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(StationFolderPath(folder, address), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == length && name.rfind(head, 0) == 0 && name.compare(length - tail.size(), tail.size(), tail) == 0)
            return kExitOk;
    }
    error = "stacja " + FiveDigits(address) + " nie ma kanału " + Quoted(channel) + " (żadnego pliku " + head +
            "RRRR_MM" + tail + ")";
    return kExitNoInput;
}

int FindFileOfKind(const std::string& path, const char* magic, const char* kind, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = "Nie znaleziono pliku: " + path;
        return kExitNoInput;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        error = "Błąd odczytu: " + path;
        return kExitData;
    }
    std::string head(5, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (head != magic) {
        error = path + " nie jest " + kind;
        return kExitData;
    }
    return kExitOk;
}

} // namespace kiv::cli
