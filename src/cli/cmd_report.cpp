// kiv-cli report daily: the daily report of a station or a virtual station,
// day after day, as the report window shows it (the one road of
// reports/daily_report.h). The day starts as the period chooser starts it,
// at DATE 00:00:01; the hour shift defaults to the one of Kiv.ini in the
// working folder, where the virtual stations are looked up by label too.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "reports/daily_report.h"

#ifdef KIV_CLI_PDF
#include "reports/rap_dob.h"

#include <QApplication>
#endif

#include <cstdio>
#include <string>
#include <vector>

namespace kiv::cli {
namespace {

constexpr const char *kName = "report";
constexpr TimeStamp kDaySeconds = 86400;

// "key@label" of an address or of the virtual station with that label.
int FindEntry(const std::string &folder, const std::string &key, std::string &entry, std::string &error) {
    int address = 0;
    std::string ignored;
    if (ParseAddress(key, address, ignored)) {
        if (const int rc = FindStation(folder, address, error); rc != kExitOk)
            return rc;
        char five[8];
        std::snprintf(five, sizeof five, "%05d", address);
        entry = std::string(five) + "@" + ReadStationEntry(StationFilePath(folder, address), address).label;
        return kExitOk;
    }
    TVirtualEntry found;
    int number = 0;
    if (!TProgramSettings(KivIniPathInWorkingFolder()).FindVirtualEntry(folder, key, found, number)) {
        error = "brak stacji \"" + key + "\": ani adres 1..65535, ani etykieta stacji wirtualnej w Kiv.ini";
        return kExitNoInput;
    }
    entry = found.formula + "@" + found.label;
    return kExitOk;
}

bool ParseOptions(const CliArgs &in, TDailyRequest &request, long &days, std::string &error) {
    long shift = TProgramSettings(KivIniPathInWorkingFolder()).RepBaseHourShift();
    days = 1;
    if (in.Has("--shift") && !ParseWhole("--shift", in.Option("--shift"), -23, 23, shift, error))
        return false;
    if (in.Has("--days") && !ParseWhole("--days", in.Option("--days"), 1, 31, days, error))
        return false;
    request.hourShift = static_cast<int>(shift);
    return true;
}

bool ParseDay(const std::string &text, TimeStamp &dayStart, std::string &error) {
    if (text.size() != 10 || !ParseStamp(text, dayStart)) {
        error = "niepoprawna data \"" + text + "\" (oczekiwano RRRR-MM-DD)";
        return false;
    }
    dayStart += 1;
    return true;
}

void PrintReport(const TDailyReport &report) {
    std::printf("%s\n", report.title.c_str());
    for (std::size_t r = 0; r < kDailyRows; ++r) {
        if (r == 1)
            continue; // the units belong to the window's second header row
        std::string line;
        for (std::size_t c = 0; c < kDailyColumns; ++c)
            line += (c == 0 ? "" : "\t") + report.cells[r][c];
        std::printf("%s\n", line.c_str());
    }
    std::printf("%s\n%s\n", report.counterLines[0].c_str(), report.counterLines[1].c_str());
}

// The pages of the print command; the fonts need an application, without a screen.
int WritePdf(const std::vector<TDailyReport> &reports, const std::string &file) {
#ifdef KIV_CLI_PDF
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "kiv-cli";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (!PrintDailyToPdf(reports, file))
        return Fail(kName, kExitNoInput, "nie można zapisać pliku PDF \"" + file + "\"");
    return kExitOk;
#else
    (void)reports;
    return Fail(kName, kExitUnavailable, "zapis do PDF (" + file + ") niedostępny w tej kompilacji");
#endif
}

int Run(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk)
        return rc;
    if (in.values[0] != "daily")
        return UsageError(kName, "nieznany rodzaj raportu \"" + in.values[0] + "\" (jest: daily)");
    TDailyRequest request;
    long days = 1;
    std::string error;
    if (!ParseDay(in.values[3], request.dayStart, error) || !ParseOptions(in, request, days, error))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[1], request.dataFolder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindEntry(request.dataFolder, in.values[2], request.entry, error); rc != kExitOk)
        return Fail(kName, rc, error);
    const TimeStamp first = request.dayStart;
    TDailyReport report;
    std::vector<TDailyReport> reports;
    for (long k = 0; k < days; ++k) {
        request.dayStart = first + static_cast<TimeStamp>(k) * kDaySeconds;
        if (!BuildDailyReport(request, report))
            return Fail(kName, kExitUsage, "Zakres czasowy danych nie mieści się w akceptowanych limitach");
        reports.push_back(report);
    }
    if (in.Has("--pdf"))
        return WritePdf(reports, in.Option("--pdf"));
    for (std::size_t k = 0; k < reports.size(); ++k) {
        if (k > 0)
            std::printf("--\n");
        PrintReport(reports[k]);
    }
    return kExitOk;
}

const CliRegistrar kReport(
    {kName, "daily FOLDER KLUCZ DATA [--shift H] [--days N] [--pdf PLIK]",
     "Raport dobowy stacji lub stacji wirtualnej: tytuł, nagłówek, 24 godziny i przyrosty liczników", Run,
     {{"RODZAJ", "rodzaj raportu: daily (raport dobowy)"},
      {"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012) albo etykieta stacji wirtualnej z Kiv.ini folderu roboczego"},
      {"DATA", "dzień raportu, RRRR-MM-DD; raport zaczyna się o 00:00:01 tego dnia"}},
     {{"--shift", "H", "przesunięcie godziny początku doby gazowej, -23..23 (domyślnie z Kiv.ini, -2)"},
      {"--days", "N", "liczba kolejnych dni, 1..31 (domyślnie 1)"},
      {"--pdf", "PLIK", "zamiast tekstu strony wydruku, jedna na dzień, do pliku PDF"}},
     {"kiv-cli report daily demo 00012 2026-05-10", "kiv-cli report daily demo \"Suma Północ\" 2026-05-10 --days 3"}});

} // namespace
} // namespace kiv::cli
