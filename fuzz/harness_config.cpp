// Fuzz bodies of the text files: the ini layer with Kiv.ini on top of it,
// TIni, the station file and the event definitions (.EVT).
#include "harness.h"

#include <cstdlib>

#include "config/ini_file.h"
#include "config/program_config.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/tini.h"
#include "datafiles/events.h"
#include "reports/archive_access.h"

namespace kiv::fuzz {
namespace {

// Keys the program looks up, each in its own section.
constexpr const char* kKeys[][2] = {{"Main", "Label"},         {"Catalogues", "DataPath"},
                                    {"Modems", "ModemName1"},  {"CommSettings", "EventsMaxNumber"},
                                    {"Report", "RepBaseHourShift"}, {"Identity", "Brand"}};

void Require(bool promise) {
    if (!promise) std::abort();
}

void ReadSettings(const std::string& kivIni) {
    const TProgramSettings settings(kivIni);
    for (int i = 0; i <= kDataPathHistorySize; ++i) (void)settings.DataPath(i);
    (void)settings.DataPathHistory();
    (void)settings.ModemProfiles();
    (void)settings.EventsMaxNumber();
    (void)settings.RepBaseHourShift();
    (void)settings.TariffSets();
    (void)ReadProgramConfig(kivIni);
    for (const std::string& text : settings.VirtualEntries(Scratch())) {
        const TVirtualEntry entry = ParseVirtualEntry(text);
        Require(ParseVirtualEntry(FormatVirtualEntry(entry)).formula == entry.formula);
        (void)ParseMemberFormula(entry.formula);
    }
}

} // namespace

int FuzzIni(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const std::string_view text = in.Rest();
    IniDocument doc;
    doc.Parse(text);
    for (const auto& [section, key] : kKeys) {
        (void)doc.ReadString(section, key, "");
        (void)doc.ReadInteger(section, key, -1);
        (void)doc.ReadBool(section, key, false);
    }
    (void)doc.ReadList("Modems", "ModemName", 1);
    // An edit must read back, also after the document went through its own text.
    doc.WriteString("Main", "Label", "Nowa stacja");
    Require(doc.ReadString("Main", "Label", "") == "Nowa stacja");
    IniDocument again;
    again.Parse(doc.Serialize());
    Require(again.ReadString("Main", "Label", "") == "Nowa stacja");
    doc.ClearSection("Modems", false);
    doc.RenumberList("Tariff", "Set", "A", true);
    (void)doc.Serialize();

    const std::string kivIni = Scratch() + "Kiv.ini";
    WriteFile(kivIni, text);
    ReadSettings(kivIni);
    (void)RenumberIniList("Virtual-" + Scratch(), "Sum", "X", true, true, kivIni);
    (void)ClearIniSection("Modems", true, kivIni);
    return 0;
}

int FuzzTIni(const uint8_t* data, std::size_t size) {
    const std::string path = Scratch() + "fuzz.ini";
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    TIni ini(path);
    for (const auto& [section, key] : kKeys) {
        (void)ini.ReadString(section, key, "");
        (void)ini.ReadInteger(section, key, 0);
    }
    (void)ini.ReadList("Modems", "ModemName", 1);
    (void)ini.ReadList("12", "ParamDescription", 0);
    return 0;
}

int FuzzStationFile(const uint8_t* data, std::size_t size) {
    const std::string folder = FreshStationFolder();
    const std::string file = StationFilePath(Scratch(), kStation);
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    (void)ReadStationEntry(file, kStation);
    TRekStacjiFull record;
    ReadFullStationRecord(file, kStation, record);
    (void)StoredNameplate(file);
    TStationDb db;
    db.Build(Scratch());
    // A save of changed keys over the fuzzed file must read back as saved.
    TRekStacjiFull changed = record;
    changed.Label = "Stacja kontrolna";
    changed.BaudRate = "19200";
    changed.Repeats = record.Repeats == 3 ? 4 : 3;
    bool treeChanged = false;
    if (db.SaveFullRecord(file, changed, record, treeChanged)) {
        TRekStacjiFull back;
        ReadFullStationRecord(file, kStation, back);
        Require(back.Label == changed.Label && back.BaudRate == changed.BaudRate && back.Repeats == changed.Repeats);
    }
    WriteNameplate(Scratch(), kStation, {"Kivmet", "KM-100", "KM1-00012"});
    return 0;
}

int FuzzEventDefinition(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const uint8_t code = in.Byte();
    const std::string_view text = in.Rest();
    const std::string folder = FreshStationFolder();
    WriteFile(folder + "KM100.EVT", text);
    (void)FindEventDefinition(folder, "KivmetKM-100");
    TIni ini(folder + "KM100.EVT");
    (void)ini.ReadString("Identity", "Brand", "");
    // A record of the expected length, and one of the standard volume.
    uint8_t record[256] = {};
    for (int c : {static_cast<int>(code), 1, 12}) {
        const TEventDefinition definition = ReadEventDefinition(ini, c);
        const std::size_t expected = ExpectedEventLength(definition);
        for (std::size_t length : {expected, std::size_t{20}}) {
            if (length > sizeof record) continue;
            std::vector<TEventParamDef> params;
            (void)ParamsForRecord(definition, length, params);
            for (const TEventParamValue& value : DecodeEventParams(record, length, params)) (void)ParamValueText(value);
        }
    }
    return 0;
}

} // namespace kiv::fuzz
