// kiv-cli graph: the graph of a station's or a virtual station's parameter
// over a period of up to a month, drawn headless as the graph window draws
// it (--png, at the given size) or as it prints it (--pdf, one landscape
// page). The period is the one the period chooser accepts in its one-month
// mode and runs as it gives it, from OD 00:00:01 to the day after DO; the
// hour shift is the one of Kiv.ini in the working folder, where the virtual
// stations are looked up by label too.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "reports/graph.h"
#include "reports/period_rules.h"
#include "support/helpers.h"

#ifdef KIV_CLI_PDF
#include "reports/grafika.h"

#include <QApplication>
#endif

#include <cstdio>
#include <string>
#include <vector>

namespace kiv::cli {
namespace {

constexpr const char *kName = "graph";
// The window's status bar under the canvas, as the picture leaves room for it.
constexpr int kStatusHeight = 22;

struct TGraphCall {
    TGraphRequest request; // its parameter name empty: the first graphable one
    int width = 1024;
    int height = 600;
};

bool ParsePeriod(const std::string &from, const std::string &to, TGraphRequest &request, std::string &error) {
    TimeStamp first = 0;
    TimeStamp last = 0;
    if (!ParseDay("OD", from, first, error) || !ParseDay("DO", to, last, error))
        return false;
    if (last < first) {
        error = "data końcowa " + to + " jest wcześniejsza niż początkowa " + from;
        return false;
    }
    const TPeriodDates dates{DateOf(first), DateOf(last)};
    const TDate limit = AddDays(AddMonths(dates.first, ChooseOneMonth), -1);
    if (dates.second > limit) {
        error = "okres " + from + " .. " + to + " nie mieści się w jednym miesiącu (najpóźniej do " +
                DateText(limit.year, limit.month, limit.day) + ")";
        return false;
    }
    const TPeriod period = ChosenPeriod(dates);
    request.start = period.start;
    request.end = period.end;
    return true;
}

bool ParseSize(const std::string &text, int &width, int &height, std::string &error) {
    const std::size_t x = text.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !ParseWhole("--size", text.substr(0, x), 320, 8000, w, error) ||
        !ParseWhole("--size", text.substr(x + 1), 200, 8000, h, error)) {
        error = "niepoprawny rozmiar \"" + text + "\" (oczekiwano SZERxWYS, np. 1600x900)";
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

int ParseCall(const CliArgs &in, TGraphCall &call, std::string &error) {
    if (in.Has("--png") == in.Has("--pdf")) {
        error = "podaj jedno z: --png PLIK albo --pdf PLIK";
        return kExitUsage;
    }
    if (!ParsePeriod(in.values[2], in.values[3], call.request, error) ||
        (in.Has("--size") && !ParseSize(in.Option("--size"), call.width, call.height, error)))
        return kExitUsage;
    if (in.Has("--param"))
        call.request.parameterName = in.Option("--param");
    return kExitOk;
}

// The key and label of an address or of the virtual station with that label.
int FindSubject(const std::string &folder, const std::string &key, TGraphRequest &request, std::string &error) {
    int address = 0;
    std::string ignored;
    if (ParseAddress(key, address, ignored)) {
        if (const int rc = FindStation(folder, address, error); rc != kExitOk)
            return rc;
        request.key = FiveDigits(address);
        request.label = ReadStationEntry(StationFilePath(folder, address), address).label;
        return kExitOk;
    }
    TVirtualEntry found;
    int number = 0;
    if (!TProgramSettings(request.kivIni).FindVirtualEntry(folder, key, found, number)) {
        error = "brak stacji \"" + key + "\": ani adres 1..65535, ani etykieta stacji wirtualnej w Kiv.ini";
        return kExitNoInput;
    }
    request.key = found.formula;
    request.label = found.label;
    return kExitOk;
}

std::string ParameterNames(const TGraph &graph) {
    std::string names;
    for (const TGraphParameter &p : graph.parameters)
        names += (names.empty() ? "" : ", ") + p.name;
    return names;
}

// Opens the graph, of the named parameter when one is named.
int OpenNamed(const TGraphCall &call, TGraph &graph, std::string &error) {
    switch (OpenGraph(call.request, graph)) {
    case TGraphOpen::Shown:
        return kExitOk;
    case TGraphOpen::NoParameter:
        error = "brak parametru \"" + call.request.parameterName + "\" na wykresie; są: " + ParameterNames(graph);
        return kExitNoInput;
    case TGraphOpen::NoParameters:
        error = "Brak danych, lub dane ze stacji nr " + call.request.key + " niepoprawne";
        return kExitData;
    case TGraphOpen::NoSamples:
        error = NoSamplesText(graph.request.start, graph.request.end);
        return kExitNoInput;
    default:
        error = "brak plików archiwum stacji " + call.request.key + " za okres";
        return kExitNoInput;
    }
}

// The fonts need an application, without a screen.
int Draw(const TGraph &graph, const TGraphCall &call, const CliArgs &in) {
#ifdef KIV_CLI_PDF
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "kiv-cli";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    KeepCNumbers();
    if (in.Has("--pdf")) {
        if (!PrintGraphToPdf(graph, in.Option("--pdf")))
            return Fail(kName, kExitNoInput, "nie można zapisać pliku PDF \"" + in.Option("--pdf") + "\"");
    } else if (!GraphPicture(graph, QSize(call.width, call.height), kStatusHeight, -1)
                    .save(QString::fromStdString(in.Option("--png")), "PNG")) {
        return Fail(kName, kExitNoInput, "nie można zapisać pliku PNG \"" + in.Option("--png") + "\"");
    }
    std::printf("%s\n", graph.title.c_str());
    return kExitOk;
#else
    (void)graph;
    (void)call;
    (void)in;
    return Fail(kName, kExitUnavailable, "rysowanie wykresu niedostępne w tej kompilacji");
#endif
}

int Run(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk)
        return rc;
    TGraphCall call;
    std::string error;
    if (ParseCall(in, call, error) != kExitOk)
        return UsageError(kName, error);
    call.request.kivIni = KivIniPathInWorkingFolder();
    call.request.hourShift = TProgramSettings(call.request.kivIni).RepBaseHourShift();
    if (const int rc = FindDataFolder(in.values[0], call.request.dataFolder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindSubject(call.request.dataFolder, in.values[1], call.request, error); rc != kExitOk)
        return Fail(kName, rc, error);
    TGraph graph;
    if (const int rc = OpenNamed(call, graph, error); rc != kExitOk)
        return Fail(kName, rc, error);
    return Draw(graph, call, in);
}

const CliRegistrar kGraph(
    {kName, "FOLDER KLUCZ OD DO [--param NAZWA] [--size SZERxWYS] --png PLIK | --pdf PLIK",
     "Wykres parametru stacji lub stacji wirtualnej za okres do miesiąca, jako obraz okna albo strona wydruku", Run,
     {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012) albo etykieta stacji wirtualnej z Kiv.ini folderu roboczego"},
      {"OD", "pierwszy dzień okresu, RRRR-MM-DD (od 00:00:01)"},
      {"DO", "ostatni dzień okresu, RRRR-MM-DD; nie wcześniej niż OD i najpóźniej dzień przed tym samym dniem "
             "następnego miesiąca"}},
     {{"--param", "NAZWA", "parametr wykresu (np. dVn albo Qn, P): najpierw nazwa, potem nazwa wyświetlana; "
                                "domyślnie pierwszy z listy"},
      {"--size", "SZERxWYS", "rozmiar obrazu PNG w pikselach (domyślnie 1024x600)"},
      {"--png", "PLIK", "obraz wykresu, jak w oknie, do pliku PNG"},
      {"--pdf", "PLIK", "strona wydruku wykresu do pliku PDF"}},
     {"kiv-cli graph demo 00012 2026-05-10 2026-05-10 --png dzien.png",
      "kiv-cli graph demo 00012 2026-04-01 2026-04-30 --param P --pdf cisnienie.pdf"}});

} // namespace
} // namespace kiv::cli
