#pragma once
// What the events viewer shows, without widgets. ListEventGenerations finds
// the generations of a station's events file that pass the file check (any
// device); TEventsView loads one of them, picks the event definition file by
// the file's brand and type, and sorts every record into "described as
// defined", "the 20-byte standard volume record" or "a definition error".
// The grid rows are then only indexes (an event line, or one of its
// parameter lines), and each cell's text is made when it is asked for, so a
// full events file with its parameters opens at once. DrawEventsList puts
// chosen rows on a printing surface as the printed list. Standard library
// only; messages go through MessageDlg.
#include "datafiles/events.h"
#include "support/print_surface.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

inline constexpr int kEventsColumns = 5;
inline constexpr const char *kEventsCaption = "Zdarzenia";
inline constexpr const char *kEventsDocumentTitle = "Kiv-Zdarzenia";

// One line of the generation list: "g." then identification lines 1, 2, 3
// and 5 of that file, each as "<" line ">".
struct TEventsGeneration {
    int generation = 0;
    std::string text;
};
[[nodiscard]] std::vector<TEventsGeneration> ListEventGenerations(const std::string &dataFolder, int address);
// The generation a list line begins with; -1 when it begins with no digit.
[[nodiscard]] int GenerationOfLine(const std::string &text);

// The captions of the grid's first row.
[[nodiscard]] const std::array<std::string, kEventsColumns> &EventsHeader();

class TEventsView {
  public:
    // Reads the generation (any device) and its definitions from the program
    // folder. False, with an empty view, when the generation is not there.
    bool Load(const std::string &dataFolder, int address, int generation, const std::string &programFolder);
    // Event lines only, or each followed by its parameter lines.
    void ShowParameters(bool shown);

    [[nodiscard]] int RowCount() const { return static_cast<int>(rows_.size()); }
    [[nodiscard]] std::string Cell(int row, int column) const;
    [[nodiscard]] std::array<std::string, kEventsColumns> Row(int row) const;
    // The record shown on the row (0-based), or -1 outside the grid.
    [[nodiscard]] int RecordOfRow(int row) const;
    // The row of the record's event line; -1 when there is none.
    [[nodiscard]] int RowOfRecord(int record) const;

    [[nodiscard]] bool HasDefinition() const { return !definitionFile_.empty(); }
    // Records whose length fits neither their definition nor the standard
    // volume record; counted only when a definition file was found.
    [[nodiscard]] int DefinitionErrors() const { return definitionErrors_; }
    // Identification lines 1 and 2 of the file, as text.
    [[nodiscard]] std::string Brand() const;
    [[nodiscard]] std::string Type() const;

  private:
    enum class Fit : uint8_t { Defined, StandardVolume, Error };
    struct TRow {
        uint32_t record = 0;
        int32_t param = -1; // -1: the event line
    };

    [[nodiscard]] const uint8_t *RecordBytes(std::size_t record) const;
    [[nodiscard]] const std::vector<TEventParamDef> &Params(std::size_t record) const;
    [[nodiscard]] std::string ParamCell(const TRow &row, int column) const;

    TEventsFile file_;
    std::string definitionFile_;
    std::vector<TEventDefinition> definitions_; // by event code
    std::vector<Fit> fits_;                     // by record
    std::vector<TRow> rows_;
    std::vector<int> eventRows_; // by record: the row of its event line
    int definitionErrors_ = 0;
};

// After a generation was shown: the missing definition warning, or the count
// of definition errors when there were any (caption "Zdarzenia").
void ReportEventsView(const TEventsView &view);

// The rows "Drukuj" prints: the selected ones when more than one is
// selected (in grid order), otherwise every row.
[[nodiscard]] std::vector<int> RowsToPrint(std::vector<int> selected, int rowCount);
// The printed list: "Times New Roman" 8 pt, the underlined header "Lista
// zdarzeń " + generation line and the grid's first row, then one row a line,
// a new page (without the header) when a page is full.
void DrawEventsList(IPrintSurface &surface, const std::string &generationLine, const TEventsView &view,
                    const std::vector<int> &rows);

} // namespace kiv
