// kiv-cli optimise: the ordered-capacity optimisation of a station or a
// virtual station as its window computes it with "Archiwum" and then "Oblicz"
// (the one road of capacity/optimisation.h). The tariff set is the one named,
// or else the station's remembered one; Kiv.ini is the working folder's, where
// virtual stations are looked up by label. Nothing is written.
#include "capacity/optimisation.h"
#include "capacity/tariff_sets.h"
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "support/first_message.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/virtual_stations.h"

#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kiv::cli {
namespace {

constexpr const char *kName = "optimise";

// Why the years end at kLastYear: the archive names a month by two digits of its year.
constexpr const char *kArchiveYears = ": dalej nie sięgają daty archiwum";

struct TOptimiseCall {
    std::string folder;
    TTariffOwner owner;
    TArchiveRequest archive;
    TMonthPeriod period;
    TRateTexts rates;
};

bool ParseMonth(const std::string &text, TMonthPeriod &period, std::string &error) {
    long year = 0;
    long month = 0;
    const bool shaped = text.size() == 7 && text[4] == '-';
    if (shaped && ParseWhole("--from", text.substr(0, 4), kFirstYear, kLastYear, year, error) &&
        ParseWhole("--from", text.substr(5), 1, 12, month, error)) {
        period.startYear = static_cast<int>(year);
        period.startMonth = static_cast<int>(month);
        return true;
    }
    error = "niepoprawny miesiąc --from \"" + text + "\" (oczekiwano RRRR-MM, rok " +
            std::to_string(kFirstYear) + ".." + std::to_string(kLastYear) + kArchiveYears + ")";
    return false;
}

// The last month must still have an archive a time stamp can name.
bool WithinArchiveYears(const TMonthPeriod &period, std::string &error) {
    if (PeriodMonths(period.startMonth, period.startYear, period.months).back().year <= kLastYear)
        return true;
    error = "okres analizy od " + MonthLabel(period.startMonth, period.startYear) + " (" +
            std::to_string(period.months) + " mies.) kończy się po 12/" + std::to_string(kLastYear) +
            kArchiveYears;
    return false;
}

bool ParseOptions(const CliArgs &in, TOptimiseCall &call, std::string &error) {
    if (!in.Has("--from") || !in.Has("--months")) {
        error = in.Has("--from") ? "brak opcji --months" : "brak opcji --from";
        return false;
    }
    long months = 0;
    long shift = TProgramSettings(KivIniPathInWorkingFolder()).RepBaseHourShift();
    if (!ParseMonth(in.Option("--from"), call.period, error) ||
        !ParseWhole("--months", in.Option("--months"), kMinPeriodMonths, kMaxPeriodMonths, months, error) ||
        (in.Has("--shift") && !ParseWhole("--shift", in.Option("--shift"), -23, 23, shift, error)))
        return false;
    call.period.months = static_cast<int>(months);
    call.archive.hourShift = static_cast<int>(shift);
    return WithinArchiveYears(call.period, error);
}

// An address, or the label of a virtual station of the working folder's Kiv.ini.
int FindSubject(const std::string &key, TOptimiseCall &call, std::string &error) {
    call.owner.kivIni = KivIniPathInWorkingFolder();
    call.owner.dataFolder = call.folder;
    call.archive.dataFolder = call.folder;
    int address = 0;
    std::string ignored;
    if (ParseAddress(key, address, ignored)) {
        call.owner.address = address;
        call.archive.members = {address};
        return FindStation(call.folder, address, error);
    }
    const TSumRec sum = LookupSum(call.owner.kivIni, call.folder, key);
    if (sum.number == 0) {
        error = "brak stacji \"" + key + "\": ani adres 1..65535, ani etykieta stacji wirtualnej w Kiv.ini";
        return kExitNoInput;
    }
    call.owner.label = key;
    call.archive.members = ParseMemberFormula(sum.formula);
    if (call.archive.members.empty()) {
        error = "Stacja wirtualna \"" + key + "\" nie jest skonfigurowana";
        return kExitData;
    }
    // One member is that station itself, its tariff set kept in its station file.
    call.owner.isVirtual = call.archive.members.size() > 1;
    call.owner.address = std::abs(call.archive.members.front());
    return kExitOk;
}

int FindRates(const CliArgs &in, TOptimiseCall &call, std::string &error) {
    const std::string name = in.Has("--tariff") ? in.Option("--tariff") : ChosenTariffName(call.owner);
    TTariffSet set;
    if (FindTariffSet(call.owner.kivIni, name, set)) {
        call.rates = set.rates;
        return kExitOk;
    }
    if (!in.Has("--tariff") || name.empty())
        return kExitOk;
    error = "brak grupy stawek taryfowych \"" + name + "\" w " + call.owner.kivIni;
    return kExitNoInput;
}

void Print(const TOptimiseInputs &inputs, const TOptimisation &result) {
    for (const TMonthRow &row : inputs.months)
        std::printf("%s\t%d\t%s\n", MonthLabel(row.month, row.year).c_str(), MonthHours(row.year, row.month),
                    row.qmax.c_str());
    std::printf("winter\t%s\nsummer\t%s\nstatus\t%s\n", inputs.winter.c_str(), inputs.summer.c_str(),
                StatusText(result.status));
    if (!result.searched)
        return;
    const TCapacitySearch &s = result.search;
    std::printf("bounds\t%d\t%d\t%d\n", s.lower, s.upper, s.step);
    const std::string separator = QLocale::system().decimalPoint().toStdString();
    TOptimisation percentages = result;
    percentages.priced = false;
    const std::vector<TResultRow> shares = ResultRows(percentages, separator);
    const std::vector<TResultRow> prices = ResultRows(result, separator);
    for (std::size_t k = 0; k < shares.size(); ++k)
        std::printf("%s\t%s\t%s\n", shares[k].capacity.c_str(), shares[k].value.c_str(),
                    result.priced ? prices[k].value.c_str() : "");
    std::printf("best\t%d\n", s.candidates[static_cast<std::size_t>(s.best)].capacity);
}

int Run(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk)
        return rc;
    TOptimiseCall call;
    std::string error;
    if (!ParseOptions(in, call, error))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[0], call.folder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindSubject(in.values[1], call, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindRates(in, call, error); rc != kExitOk)
        return Fail(kName, rc, error);
    TOptimiseInputs inputs{PeriodMonths(call.period.startMonth, call.period.startYear, call.period.months),
                           "", ""};
    std::vector<double> flows;
    TFirstMessage message;
    const bool loaded = LoadFromArchive(call.archive, inputs, flows);
    // The window goes on past an archive it cannot read; here that archive fails the call.
    if (!loaded || !message.Text().empty())
        return Fail(kName, kExitData, message.Text());
    Print(inputs, Optimise(inputs, call.rates));
    return kExitOk;
}

const CliRegistrar kOptimise(
    {kName,
     "FOLDER KLUCZ --from RRRR-MM --months N [--tariff NAZWA] [--shift H]",
     "Optymalizacja mocy zamówionej jak \"Archiwum\" i \"Oblicz\": miesiące (godziny, Qmax), ilości "
     "zima/lato, "
     "status, granice pierwszej tabeli, wiersze wyników (moc, %, cena) i najlepsza moc",
     Run,
     {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012) albo etykieta stacji wirtualnej z Kiv.ini folderu roboczego"}},
     {{"--from", "RRRR-MM", "pierwszy miesiąc okresu analizy"},
      {"--months", "N", "liczba miesięcy, 2..12"},
      {"--tariff", "NAZWA", "grupa stawek taryfowych z Kiv.ini (domyślnie zapamiętana dla stacji)"},
      {"--shift", "H", "przesunięcie godziny początku doby gazowej, -23..23 (domyślnie z Kiv.ini, -2)"}},
     {"kiv-cli optimise demo 00012 --from 2025-01 --months 12",
      "kiv-cli optimise demo \"Suma Północ\" --from 2025-01 --months 12 --tariff \"W-3\""}});

} // namespace
} // namespace kiv::cli
