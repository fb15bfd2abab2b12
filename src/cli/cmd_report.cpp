// kiv-cli report daily: the daily report of a station or a virtual station,
// day after day, as the report window shows it (the one road of
// reports/daily_report.h). The day starts as the period chooser starts it,
// at DATE 00:00:01; the hour shift defaults to the one of Kiv.ini in the
// working folder, where the virtual stations are looked up by label too.
// kiv-cli report period: the period report from FROM to TO as its window
// shows it (reports/period_report.h), and besides that its CSV file or its
// printed pages. KEY names a station by its address, a virtual station by its
// label in Kiv.ini, or a sum by its member formula.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "support/first_message.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "reports/daily_report.h"
#include "reports/period_report.h"
#include "support/helpers.h"
#include "support/messages.h"

#ifdef KIV_CLI_PDF
#include "reports/rap_dob.h"
#include "reports/rap_okres.h"
#include "support/gui/display_text.h"

#include <QApplication>
#else
#include <QLocale>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace kiv::cli {
namespace {

constexpr const char *kName = "report";
constexpr TimeStamp kDaySeconds = 86400;
constexpr TimeStamp kLongestPeriod = 62 * kDaySeconds;
constexpr std::size_t kDailyArguments = 4;
const char *const kDailyOptions[] = {"--shift", "--days", "--pdf"};
const char *const kPeriodOptions[] = {"--shift", "--csv", "--sep", "--pdf"};

int StationEntry(const std::string &folder, int address, std::string &entry, std::string &error) {
    if (const int rc = FindStation(folder, address, error); rc != kExitOk)
        return rc;
    entry = ZeroPad(address, 5) + "@" + ReadStationEntry(StationFilePath(folder, address), address).label;
    return kExitOk;
}

// The members of a formula, each 1..65535 with its sign; empty when it is none.
TNumTab FormulaMembers(const std::string &key) {
    TNumTab members = ParseMemberFormula(key);
    if (std::any_of(members.begin(), members.end(),
                    [](int32_t m) { return m == 0 || std::abs(m) > kMaxStationAddress; }))
        members.clear();
    return members;
}

// A sum of several stations: the virtual station of Kiv.ini with the same
// members lends its formula, label and capacity; any other is labelled with
// its formula as Kiv.ini writes one ("+00012-00020").
std::string SumEntry(const std::string &folder, const TNumTab &members) {
    for (const std::string &text : TProgramSettings(KivIniPathInWorkingFolder()).VirtualEntries(folder)) {
        const TVirtualEntry defined = ParseVirtualEntry(text);
        if (ParseMemberFormula(defined.formula) == members)
            return defined.formula + "@" + defined.label;
    }
    std::string formula;
    for (const int32_t m : members)
        formula += (m < 0 ? "-" : "+") + ZeroPad(std::abs(m), 5);
    return formula + "@" + formula;
}

// "key@label" of an address, of the virtual station with that label, or of a
// member formula; a formula of one member is that station itself.
int FindEntry(const std::string &folder, const std::string &key, std::string &entry, std::string &error) {
    int address = 0;
    std::string ignored;
    if (ParseAddress(key, address, ignored))
        return StationEntry(folder, address, entry, error);
    TVirtualEntry found;
    int number = 0;
    if (TProgramSettings(KivIniPathInWorkingFolder()).FindVirtualEntry(folder, key, found, number)) {
        entry = found.formula + "@" + found.label;
        return kExitOk;
    }
    const TNumTab members = FormulaMembers(key);
    if (members.empty()) {
        error = "brak stacji \"" + key +
                "\": ani adres 1..65535, ani etykieta stacji wirtualnej w Kiv.ini, ani formuła (np. +00012+00013)";
        return kExitNoInput;
    }
    for (const int32_t m : members)
        if (const int rc = FindStation(folder, std::abs(m), error); rc != kExitOk)
            return rc;
    if (members.size() == 1)
        return StationEntry(folder, std::abs(members.front()), entry, error);
    entry = SumEntry(folder, members);
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

// The day as the period chooser starts it: 00:00:01.
bool ParseDayStart(const std::string &what, const std::string &text, TimeStamp &dayStart, std::string &error) {
    if (!ParseDay(what, text, dayStart, error))
        return false;
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

#ifdef KIV_CLI_PDF
// The print command's pages into the file; their fonts need an application, without a screen.
int WritePdfFile(const std::string &file, const std::function<bool()> &print) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "kiv-cli";
    char *argv[] = {name, nullptr};
    const QApplication app(argc, argv);
    KeepCNumbers();
    if (!print())
        return Fail(kName, kExitNoInput, "nie można zapisać pliku PDF \"" + file + "\"");
    return kExitOk;
}

std::string WindowDecimalSeparator() { return SystemDecimalSeparator(); }
#else
int NoPdf(const std::string &file) {
    return Fail(kName, kExitUnavailable, "zapis do PDF (" + file + ") niedostępny w tej kompilacji");
}

// A build without windows writes as they would: with the system's separator.
std::string WindowDecimalSeparator() { return QLocale::system().decimalPoint().toStdString(); }
#endif

int WritePdf(const std::vector<TDailyReport> &reports, const std::string &file) {
#ifdef KIV_CLI_PDF
    return WritePdfFile(file, [&] { return PrintDailyToPdf(reports, file); });
#else
    (void)reports;
    return NoPdf(file);
#endif
}

// An option the kind of report does not take is as unknown as any other.
int CheckOptions(const CliArgs &in, const char *const *first, const char *const *last) {
    for (const auto &[option, value] : in.options)
        if (std::find_if(first, last, [&](const char *o) { return option == o; }) == last)
            return UsageError(kName, "nieznana opcja \"" + option + "\"");
    return kExitOk;
}

int RunDaily(const CliArgs &in) {
    if (const int rc = CheckOptions(in, std::begin(kDailyOptions), std::end(kDailyOptions)); rc != kExitOk)
        return rc;
    if (in.values.size() > kDailyArguments)
        return UsageError(kName, "nadmiarowy argument \"" + in.values[kDailyArguments] + "\"");
    TDailyRequest request;
    long days = 1;
    std::string error;
    if (!ParseDayStart("DATA", in.values[3], request.dayStart, error) || !ParseOptions(in, request, days, error))
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

// FROM 00:00:01 to the day after TO, as the period chooser gives them; at most 62 days.
bool ParsePeriod(const std::string &from, const std::string &to, TimeStamp &start, TimeStamp &end,
                 std::string &error) {
    if (!ParseDayStart("OD", from, start, error) || !ParseDayStart("DO", to, end, error))
        return false;
    end += kDaySeconds - 1;
    if (end <= start) {
        error = "odwrócony okres: " + from + " jest później niż " + to;
        return false;
    }
    if (end - start > kLongestPeriod) {
        error = "okres " + from + " - " + to + " dłuższy niż 62 dni";
        return false;
    }
    return true;
}

bool ParsePeriodOptions(const CliArgs &in, TPeriodRequest &request, std::string &error) {
    long shift = TProgramSettings(KivIniPathInWorkingFolder()).RepBaseHourShift();
    if (in.Has("--shift") && !ParseWhole("--shift", in.Option("--shift"), -23, 23, shift, error))
        return false;
    request.hourShift = static_cast<int>(shift);
    request.decimalSeparator = WindowDecimalSeparator();
    if (in.Has("--sep") && !ParseDecimalSeparator(in.Option("--sep"), request.decimalSeparator, error))
        return false;
    const std::string layout = in.Has("--csv") ? in.Option("--csv") : "standard";
    if (layout != "standard" && layout != "rozliczenie") {
        error = "nieznany układ CSV \"" + layout + "\" (jest: standard, rozliczenie)";
        return false;
    }
    return true;
}

// The grid row by row, cells between tabs, the print glyphs as "+" and "-", then TSum.
void PrintPeriodReport(const TPeriodReport &report, const TPrintSelection &selection) {
    for (int r = 0; r < report.Rows(); ++r) {
        std::string line;
        for (int c = 0; c < static_cast<int>(report.columns.size()); ++c) {
            const bool chosen = static_cast<std::size_t>(c) < selection.size() && selection[static_cast<std::size_t>(c)];
            const std::string cell = r != kPeriodMarkRow ? report.Text(c, r) : c == 0 ? "" : chosen ? "+" : "-";
            line += (c == 0 ? "" : "\t") + cell;
        }
        std::printf("%s\n", line.c_str());
    }
    std::string headers;
    std::string values;
    for (int k = 0; k < kPeriodSumColumns; ++k) {
        headers += (k == 0 ? "" : "\t") + std::string(kPeriodSumHeaders[k]);
        values += (k == 0 ? "" : "\t") + report.sum[static_cast<std::size_t>(k)];
    }
    std::printf("%s\n%s\n", headers.c_str(), values.c_str());
}

int WritePeriodPdf(const TPeriodReport &report, const TPrintSelection &selection, const std::string &file) {
#ifdef KIV_CLI_PDF
    return WritePdfFile(file, [&] { return PrintPeriodToPdf({PageAsShown(report, selection)}, file); });
#else
    (void)report;
    (void)selection;
    return NoPdf(file);
#endif
}

// The file "Eksport" writes; a failure is told with the file layer's own words.
int WritePeriodCsvFile(const TPeriodReport &report, const std::string &layoutName, const std::string &chosenPath) {
    const TFirstMessage message;
    const TCsvLayout layout = layoutName == "standard" ? TCsvLayout::Standard : TCsvLayout::Rozliczenie;
    if (WritePeriodCsv(report, layout, chosenPath).empty())
        return Fail(kName, kExitNoInput, message.Text() + ": " + PeriodCsvPath(chosenPath, report.entry.key));
    return kExitOk;
}

int RunPeriod(const CliArgs &in, const std::string &csvFile) {
    if (const int rc = CheckOptions(in, std::begin(kPeriodOptions), std::end(kPeriodOptions)); rc != kExitOk)
        return rc;
    if (in.values.size() <= kDailyArguments)
        return UsageError(kName, "brak argumentu DO");
    if (in.Has("--csv") && csvFile.empty())
        return UsageError(kName, "brak wartości PLIK po opcji --csv " + in.Option("--csv"));
    TPeriodRequest request;
    std::string error;
    if (!ParsePeriod(in.values[3], in.values[4], request.start, request.end, error) ||
        !ParsePeriodOptions(in, request, error))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[1], request.dataFolder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindEntry(request.dataFolder, in.values[2], request.entry, error); rc != kExitOk)
        return Fail(kName, rc, error);
    request.kivIni = KivIniPathInWorkingFolder();
    const TFirstMessage message;
    TPeriodReport report;
    if (BuildPeriodReport(request, report) != TPeriodBuild::Built)
        return Fail(kName, kExitNoInput, message.Text());
    const TPrintSelection selection = ReadPrintSelection(request.dataFolder, report);
    PrintPeriodReport(report, selection);
    std::fflush(stdout);
    if (in.Has("--csv"))
        if (const int rc = WritePeriodCsvFile(report, in.Option("--csv"), csvFile); rc != kExitOk)
            return rc;
    return in.Has("--pdf") ? WritePeriodPdf(report, selection, in.Option("--pdf")) : kExitOk;
}

// "--csv LAYOUT FILE" takes two values: the file is taken out before the split.
std::vector<std::string> TakeCsvFile(const std::vector<std::string> &args, std::string &file) {
    std::vector<std::string> rest = args;
    const auto csv = std::find(rest.begin(), rest.end(), "--csv");
    if (csv != rest.end() && rest.end() - csv > 2 && csv[2].rfind("--", 0) != 0) {
        file = csv[2];
        rest.erase(csv + 2);
    }
    return rest;
}

int Run(const std::vector<std::string> &args) {
    std::string csvFile;
    CliArgs in;
    if (const int rc = SplitArguments(kName, TakeCsvFile(args, csvFile), in); rc != kExitOk)
        return rc;
    if (in.values[0] == "daily")
        return RunDaily(in);
    if (in.values[0] == "period")
        return RunPeriod(in, csvFile);
    return UsageError(kName, "nieznany rodzaj raportu \"" + in.values[0] + "\" (jest: daily, period)");
}

const CliRegistrar kReport(
    {kName,
     "daily FOLDER KLUCZ DATA [--shift H] [--days N] [--pdf PLIK]\n"
     "  kiv-cli report period FOLDER KLUCZ OD DO [--shift H] [--csv standard|rozliczenie PLIK] [--sep C] [--pdf PLIK]",
     "Raport dobowy (daily: 24 godziny i przyrosty liczników) albo okresowy (period: wiersz na dobę, "
     "podsumowanie TSum) stacji lub stacji wirtualnej",
     Run,
     {{"RODZAJ", "rodzaj raportu: daily (raport dobowy) albo period (raport okresowy)"},
      {"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012), etykieta stacji wirtualnej z Kiv.ini folderu roboczego albo formuła "
                "stacji wirtualnej (np. +00012+00013-00020)"},
      {"DATA", "daily: dzień raportu, RRRR-MM-DD, od 00:00:01; period: pierwszy dzień okresu (OD)"},
      {"DO", "period: ostatni dzień okresu, RRRR-MM-DD; okres najwyżej 62 dni", true}},
     {{"--shift", "H", "przesunięcie godziny początku doby gazowej, -23..23 (domyślnie z Kiv.ini, -2)"},
      {"--days", "N", "daily: liczba kolejnych dni, 1..31 (domyślnie 1)"},
      {"--csv", "UKŁAD PLIK",
       "period: oprócz tekstu plik CSV jak z \"Eksport\" (standard albo rozliczenie); PLIK jak w oknie zapisu: "
       "zapisany zostaje folder + klucz + nazwa + \".CSV\""},
      {"--sep", "C", "period: separator dziesiętny (domyślnie systemowy, jak w oknie raportu)"},
      {"--pdf", "PLIK", "strony wydruku do pliku PDF (daily: zamiast tekstu, jedna na dzień; period: oprócz tekstu, "
                       "poziomo)"}},
     {"kiv-cli report daily demo 00012 2026-05-10", "kiv-cli report daily demo \"Suma Północ\" 2026-05-10 --days 3",
      "kiv-cli report period demo 00012 2026-05-01 2026-05-31 --csv rozliczenie /tmp/maj.csv",
      "kiv-cli report period demo +00012+00013 2026-05-01 2026-05-31"}});

} // namespace
} // namespace kiv::cli
