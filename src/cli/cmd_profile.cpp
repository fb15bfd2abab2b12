// kiv-cli profile FILE.FCP: the header record of a device profile, then one
// tab-separated line per parameter item with every field of the item.
#include <cstdio>
#include <string>
#include <vector>

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

int RunProfile(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kiv-cli profile FILE.FCP\n");
        return 64;
    }
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    if (!reader.ReadProfile(args[0], params, items, groups)) {
        std::fprintf(stderr, "kiv-cli: %s is not a valid device profile\n", args[0].c_str());
        return 1;
    }
    std::string header = std::to_string(params.profileByte) + "\t" + std::to_string(params.profileNumber);
    for (const std::string& text : params.texts) header += "\t" + DecodeText(text);
    std::printf("%s\n", header.c_str());
    for (const TParamItem& item : items) std::printf("%s\n", ItemLine(item).c_str());
    return 0;
}

const CliRegistrar registrar({"profile", "FILE.FCP",
                              "prints the header record of a device profile and one line per parameter item",
                              RunProfile});

} // namespace
} // namespace kiv::cli
