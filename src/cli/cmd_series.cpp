// kiv-cli series: the series of one channel of a station or of a virtual
// station's sum over a period, as the reports and graphs get it (the one
// road of reports/virtual_series.h). The period is used as given, without
// the chooser's one-second start; nothing is written to the data folder.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "support/first_message.h"
#include "config/station_db.h"
#include "reports/virtual_series.h"
#include "support/messages.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kiv::cli {
namespace {

constexpr const char *kName = "series";

bool ParseKey(const std::string &text, TNumTab &members, std::string &error) {
    members = ParseMemberFormula(text);
    for (const int32_t member : members)
        if (member == 0 || std::abs(member) > kMaxStationAddress)
            members.clear();
    if (members.empty())
        error = "niepoprawny klucz stacji \"" + text +
                "\" (oczekiwano adresu 1..65535 albo formuły stacji wirtualnej, np. 12-5)";
    return !members.empty();
}

bool ParseLimits(const CliArgs &in, TimeStamp &lower, TimeStamp &upper, std::string &error) {
    lower = 0;
    upper = 4294967295u;
    return (!in.Has("--lower") || ParseTime("--lower", in.Option("--lower"), lower, error)) &&
           (!in.Has("--upper") || ParseTime("--upper", in.Option("--upper"), upper, error));
}

// Every member station is there, and the channel is in at least one of them.
int FindMembers(const std::string &folder, const TNumTab &members, const std::string &channel,
                std::string &error) {
    for (const int32_t member : members)
        if (const int rc = FindStation(folder, std::abs(member), error); rc != kExitOk)
            return rc;
    int rc = kExitNoInput;
    for (const int32_t member : members)
        if ((rc = FindChannel(folder, std::abs(member), channel, error)) == kExitOk)
            return rc;
    return rc;
}

void Print(const std::vector<TReportSample> &samples) {
    for (const TReportSample &s : samples)
        std::printf("%s\t%u\t%d\t%.12g\t%d\n", StampText(s.time).c_str(), unsigned{s.interval}, int{s.validity},
                    s.value, int{s.status});
}

int Run(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk)
        return rc;
    TNumTab members;
    TimeStamp from = 0, to = 0, lower = 0, upper = 0;
    std::string folder, error;
    if (!ParseKey(in.values[1], members, error) || !ParseTimeRange(in.values[3], in.values[4], from, to, error) ||
        !ParseLimits(in, lower, upper, error))
        return UsageError(kName, error);
    const std::string &channel = in.values[2];
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindMembers(folder, members, channel, error); rc != kExitOk)
        return Fail(kName, rc, error);
    TFirstMessage message;
    if (!ClipToAcceptedRange(from, to, lower, upper))
        return Fail(kName, kExitUsage, message.Text());
    TStationSeries series;
    const int status = LoadSeries(folder, members, channel, in.Has("--counter") ? "V" : "dV", from, to, series);
    // A sum goes on past a member it cannot read, as the reports do; here that member fails the call.
    if (!message.Text().empty() || (status != 0 && status != ArcNoFile))
        return Fail(kName, kExitData, message.Text().empty() ? FileErrorMessage(status) : message.Text());
    Print(series.samples);
    return kExitOk;
}

const CliRegistrar kSeries(
    {kName, "FOLDER KLUCZ KANAŁ OD DO [--counter] [--lower CZAS] [--upper CZAS]",
     "Seria kanału stacji lub suma stacji wirtualnej: czas, interwał, ważność, wartość, status", Run,
     {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012) albo formuła stacji wirtualnej (np. 12-5 lub +00012+00013)"},
      {"KANAŁ", "nazwa skrócona parametru, np. dVn"},
      {"OD", "początek okresu, \"RRRR-MM-DD\" lub \"RRRR-MM-DD gg:mm:ss\", brany dosłownie"},
      {"DO", "koniec okresu, nie wcześniej niż OD"}},
     {{"--counter", nullptr, "kanał jest licznikiem: od sekundy przed OD, sumy na granicach dób"},
      {"--lower", "CZAS", "dolna granica akceptowanego zakresu (domyślnie bez granicy)"},
      {"--upper", "CZAS", "górna granica akceptowanego zakresu (domyślnie bez granicy)"}},
     {"kiv-cli series demo 1+2 dVn \"2026-05-01 00:00:01\" 2026-05-02",
      "kiv-cli series demo 00001 Vn \"2026-05-01 00:00:01\" 2026-05-03 --counter"}});

} // namespace
} // namespace kiv::cli
