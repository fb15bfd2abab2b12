#include "reports/events_view.h"

#include "config/tini.h"
#include "support/helpers.h"
#include "support/messages.h"
#include "support/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kiv {
namespace {

constexpr int kCodes = 256;
// The length of the record devices write for the standard volume alone.
constexpr std::size_t kStandardVolumeLength = 20;
constexpr int kHeaderLines = 3; // the title, a blank line, the column captions
constexpr int kPrintOffsets[] = {0, 6, 10, 36, 46, 56, 71, 86};

std::string IdentText(const TIdentLines &lines, std::size_t index) {
    return index < lines.size() ? DecodeText(lines[index]) : std::string();
}

TPrintFont ListFont(bool underline) { return {"Times New Roman", 8, false, underline}; }

void PrintRow(IPrintSurface &surface, int x0, int y, int unit, const std::array<std::string, kEventsColumns> &cells) {
    for (int j = 0; j < kEventsColumns; ++j)
        if (!cells[static_cast<std::size_t>(j)].empty())
            surface.TextOut(x0 + unit * kPrintOffsets[j], y, cells[static_cast<std::size_t>(j)]);
}

} // namespace

std::vector<TEventsGeneration> ListEventGenerations(const std::string &dataFolder, int address) {
    std::vector<TEventsGeneration> list;
    for (int g = 0; g <= kEventGenerations; ++g) {
        TEventsFile file;
        if (ReadEventsFile(dataFolder, address, g, TIdentLines(), file) < 0)
            continue;
        std::string text = std::to_string(g) + ".";
        for (std::size_t line : {0u, 1u, 2u, 4u})
            text += "<" + IdentText(file.identLines, line) + ">";
        list.push_back({g, text});
    }
    return list;
}

int GenerationOfLine(const std::string &text) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : -1;
}

const std::array<std::string, kEventsColumns> &EventsHeader() {
    static const std::array<std::string, kEventsColumns> header = {"Nr", "Kod", "Opis zdarzenia", "Początek",
                                                                    "Koniec"};
    return header;
}

bool TEventsView::Load(const std::string &dataFolder, int address, int generation, const std::string &programFolder) {
    *this = TEventsView();
    if (ReadEventsFile(dataFolder, address, generation, TIdentLines(), file_) < 0)
        return false;
    definitionFile_ = FindEventDefinition(programFolder, file_.identLines[0] + file_.identLines[1]);
    definitions_.assign(kCodes, TEventDefinition());
    fits_.assign(file_.records.size(), Fit::Error);
    if (!HasDefinition())
        return true;
    // Every code is read once and every length checked once per code: a
    // full file holds tens of thousands of records of a few kinds.
    TIni ini(definitionFile_);
    std::vector<bool> read(kCodes, false);
    std::map<std::pair<int, std::size_t>, Fit> fitOf;
    std::vector<TEventParamDef> params;
    for (std::size_t r = 0; r < file_.records.size(); ++r) {
        const int code = RecordBytes(r)[2];
        if (!read[static_cast<std::size_t>(code)]) {
            definitions_[static_cast<std::size_t>(code)] = ReadEventDefinition(ini, code);
            read[static_cast<std::size_t>(code)] = true;
        }
        const std::size_t length = file_.records[r].length;
        auto known = fitOf.find({code, length});
        if (known == fitOf.end()) {
            const TEventDefinition &definition = definitions_[static_cast<std::size_t>(code)];
            Fit fit = Fit::Error;
            if (ParamsForRecord(definition, length, params))
                fit = length == ExpectedEventLength(definition) ? Fit::Defined : Fit::StandardVolume;
            known = fitOf.emplace(std::make_pair(code, length), fit).first;
        }
        fits_[r] = known->second;
        if (known->second == Fit::Error)
            ++definitionErrors_;
    }
    return true;
}

void TEventsView::ShowParameters(bool shown) {
    rows_.clear();
    eventRows_.assign(file_.records.size(), -1);
    rows_.reserve(file_.records.size() * (shown ? 3 : 1));
    for (std::size_t r = 0; r < file_.records.size(); ++r) {
        eventRows_[r] = static_cast<int>(rows_.size());
        rows_.push_back({static_cast<uint32_t>(r), -1});
        if (!shown)
            continue;
        const std::size_t count = Params(r).size();
        for (std::size_t p = 0; p < count; ++p)
            rows_.push_back({static_cast<uint32_t>(r), static_cast<int32_t>(p)});
    }
}

const uint8_t *TEventsView::RecordBytes(std::size_t record) const {
    return file_.image.data() + file_.records[record].offset;
}

const std::vector<TEventParamDef> &TEventsView::Params(std::size_t record) const {
    static const std::vector<TEventParamDef> none;
    static const std::vector<TEventParamDef> standardVolume = [] {
        std::vector<TEventParamDef> params;
        (void)ParamsForRecord(TEventDefinition(), kStandardVolumeLength, params);
        return params;
    }();
    switch (fits_[record]) {
    case Fit::Defined:
        return definitions_[RecordBytes(record)[2]].params;
    case Fit::StandardVolume:
        return standardVolume;
    case Fit::Error:
        break;
    }
    return none;
}

std::string TEventsView::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount())
        return {};
    const TRow &at = rows_[static_cast<std::size_t>(row)];
    if (at.param >= 0)
        return ParamCell(at, column);
    const uint8_t *bytes = RecordBytes(at.record);
    switch (column) {
    case 0:
        return ZeroPad(at.record + 1, 5);
    case 1:
        return ZeroPad(bytes[2], 3);
    case 2:
        return definitions_[bytes[2]].description;
    case 3:
        return EventStampText(bytes + 3);
    case 4:
        return EventStampText(bytes + 9);
    default:
        return {};
    }
}

std::string TEventsView::ParamCell(const TRow &row, int column) const {
    const std::vector<TEventParamDef> &params = Params(row.record);
    const TEventParamDef &param = params[static_cast<std::size_t>(row.param)];
    switch (column) {
    case 2:
        return param.description;
    case 3:
        return ParamValueText(DecodeEventParams(RecordBytes(row.record), file_.records[row.record].length,
                                                params)[static_cast<std::size_t>(row.param)]);
    case 4:
        return param.unit.empty() ? std::string() : "[" + param.unit + "]";
    default:
        return {};
    }
}

std::array<std::string, kEventsColumns> TEventsView::Row(int row) const {
    std::array<std::string, kEventsColumns> cells;
    for (int c = 0; c < kEventsColumns; ++c)
        cells[static_cast<std::size_t>(c)] = Cell(row, c);
    return cells;
}

int TEventsView::RecordOfRow(int row) const {
    return row >= 0 && row < RowCount() ? static_cast<int>(rows_[static_cast<std::size_t>(row)].record) : -1;
}

int TEventsView::RowOfRecord(int record) const {
    return record >= 0 && record < static_cast<int>(eventRows_.size()) ? eventRows_[static_cast<std::size_t>(record)]
                                                                        : -1;
}

std::string TEventsView::Brand() const { return IdentText(file_.identLines, 0); }
std::string TEventsView::Type() const { return IdentText(file_.identLines, 1); }

void ReportEventsView(const TEventsView &view) {
    if (!view.HasDefinition()) {
        (void)MessageDlg(kEventsCaption,
                         "Nie znaleziono pliku definicji zdarzeń dla urządzenia:\n" + view.Brand() + "\n" + view.Type(),
                         MsgWarning);
    } else if (view.DefinitionErrors() > 0) {
        (void)MessageDlg(kEventsCaption,
                         "Znaleziono błędy w definicji parametrów dodatkowych (" +
                             std::to_string(view.DefinitionErrors()) + ")",
                         MsgWarning);
    }
}

std::vector<int> RowsToPrint(std::vector<int> selected, int rowCount) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    std::erase_if(selected, [rowCount](int row) { return row < 0 || row >= rowCount; });
    if (selected.size() > 1)
        return selected;
    std::vector<int> all(static_cast<std::size_t>(std::max(0, rowCount)));
    for (int row = 0; row < rowCount; ++row)
        all[static_cast<std::size_t>(row)] = row;
    return all;
}

void DrawEventsList(IPrintSurface &surface, const std::string &generationLine, const TEventsView &view,
                    const std::vector<int> &rows) {
    surface.SetFont(ListFont(true));
    const int lineHeight = std::max(1, static_cast<int>(std::lround(1.2 * surface.TextHeight("M"))));
    const int unit = surface.TextWidth("W");
    const int x0 = surface.PageWidth() / 10;
    const int y0 = surface.PageHeight() / 10;
    const int perPage = (surface.PageHeight() - y0) / lineHeight - 1;
    surface.TextOut(x0, y0, "Lista zdarzeń " + generationLine);
    PrintRow(surface, x0, y0 + 2 * lineHeight, unit, EventsHeader());
    surface.SetFont(ListFont(false));
    int line = kHeaderLines;
    for (const int row : rows) {
        if (line >= perPage) {
            if (!surface.NewPage())
                return;
            line = 0;
        }
        PrintRow(surface, x0, y0 + line * lineHeight, unit, view.Row(row));
        ++line;
    }
}

} // namespace kiv
