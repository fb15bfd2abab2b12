// kiv-cli profile PLIK.FCP: the header record of a device profile, then one
// tab-separated line per parameter item with every field of the item.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_args.h"
#include "cli_command.h"
#include "datafiles/profile.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string ItemLine(const TParamItem& item) {
    const std::vector<std::string> fields = {
        std::to_string(item.ColumnIndex()),   DecodeText(item.ShortName()),   DecodeText(item.FullName()),
        DecodeText(item.Unit()),              DecodeText(item.GroupName()),   std::to_string(item.ParamNumber()),
        std::to_string(item.TypeCode()),      std::to_string(item.HourIndex()), std::to_string(item.HourTypeCode()),
        std::to_string(item.DayIndex()),      std::to_string(item.DayTypeCode()), std::to_string(item.CondFirst()),
        std::to_string(item.CondSecond()),    DecodeText(item.Kind()),        DecodeText(item.PairedName()),
        DecodeText(item.GraphTitle()),        DecodeText(item.FlowName()),    DecodeText(item.FlowUnit()),
        Number(item.Threshold()),             Number(item.FactorBelow()),     Number(item.FactorAbove()),
    };
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
    return line;
}

constexpr const char* kName = "profile";

int RunProfile(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    const std::string& file = in.values[0];
    std::string error;
    if (const int rc = FindFileOfKind(file, "ZQFCP", "profilem urządzenia (.FCP)", error); rc != kExitOk)
        return Fail(kName, rc, error);
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    if (!reader.ReadProfile(file, params, items, groups))
        return Fail(kName, kExitData, "nieprawidłowy profil urządzenia: " + file);
    std::string header = std::to_string(params.profileByte) + "\t" + std::to_string(params.profileNumber);
    for (const std::string& text : params.texts) header += "\t" + DecodeText(text);
    std::printf("%s\n", header.c_str());
    for (const TParamItem& item : items) std::printf("%s\n", ItemLine(item).c_str());
    return kExitOk;
}

const CliRegistrar registrar({kName, "PLIK.FCP",
                              "Nagłówek profilu urządzenia, potem wiersz na parametr ze wszystkimi polami "
                              "(tabulatory)",
                              RunProfile,
                              {{"PLIK.FCP", "plik profilu urządzenia"}},
                              {},
                              {"kiv-cli profile build/dev/bin/KM100.FCP"}});

} // namespace
} // namespace kiv::cli
