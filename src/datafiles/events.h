#pragma once
// The events file of a station (FC_nnnnn/nnnnn.FCE, older generations
// nnnnn.FCE1..nnnnn.FCE9) and the event definition files (*.EVT) that name its
// events. A read-out hands the newly read records, oldest first, to
// StoreEvents, which merges them into the current file (or starts a new one,
// rotating the old generations away when the file is too large or belongs to
// another device). FindOpenEvent gives the read-out the event it can stop at
// next time. The viewer and kiv-cli read a generation back with
// ReadEventsFile, walk its records with EventRecords and describe them with
// the definition FindEventDefinition picks by brand and type.
//
// Record layout (after unscrambling): uint16 length counting itself, event
// code, two six-byte time stamps (second, minute, hour, day, month, two-digit
// year; the second all zero while the event is open), then the additional
// parameters, each a status byte (1 = valid) and a value of its type's size.
// A record shorter than its 15-byte head or running past the end of the area
// ends every walk; the records before it stay usable.
#include "datafiles/plik.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

class TIni;

constexpr char kEventsMagic[] = "ZQFCE";
constexpr std::size_t kEventHeadSize = 15;  // length, code, two time stamps
constexpr std::size_t kOpenEventSize = 13;  // code and two time stamps
constexpr std::size_t kEventKeySize = 7;    // code and first time stamp
constexpr long kEventsRotateSize = 2000000; // larger files start a new generation
constexpr int kEventGenerations = 9;
constexpr int kEventsKey1Id = 1001;
constexpr int kEventsKey2Id = 1002;
constexpr int kEventsIdentFirstId = 1003; // identification line n in section 1002 + n
constexpr int kIdentLineCount = 6;

// The six identification strings of a device (brand, type, ...), kept as the
// bytes the device sent. A shorter list reads as empty lines at its end.
using TIdentLines = std::vector<std::string>;

// data folder + "FC_nnnnn/nnnnn.FCE", followed by the digit for generations 1..9.
[[nodiscard]] std::string EventsFileName(const std::string& dataFolder, int address, int generation = 0);

// A usable record of an event area: its offset in the buffer and its length.
struct TEventRecord {
    std::size_t offset = 0;
    std::size_t length = 0;
};
// The usable records of bytes [from, size) in order, up to the first record
// whose length is below 15 or runs past size.
[[nodiscard]] std::vector<TEventRecord> EventRecords(const uint8_t* bytes, std::size_t size, std::size_t from = 0);

// A generation read back: the whole file with its event area unscrambled.
struct TEventsFile {
    Bytes image;
    std::size_t areaStart = 0;        // offset of the first record
    TIdentLines identLines;           // six lines; lines 4 and 6 are never read back
    std::vector<TEventRecord> records; // offsets into image
};

// Reads generation 0..9 and checks it against the given lines (an empty given
// line matches anything). Returns the record count, or -1 when the file is
// missing, damaged or belongs to another device.
[[nodiscard]] int ReadEventsFile(const std::string& dataFolder, int address, int generation,
                                 const TIdentLines& identLines, TEventsFile& file);

// Merges records (oldest first, `count` bytes) into the current events file;
// records from the first damaged one on are dropped. Returns 0, or a file
// error code when nothing could be stored; the stored events are then left
// as they were.
[[nodiscard]] int StoreEvents(const std::string& dataFolder, int address, const uint8_t* records,
                              std::size_t count, const TIdentLines& identLines);

// Code and both time stamps of the first record still open (second time stamp
// all zero), else of the last record; all zero when there is no usable file.
struct TOpenEvent {
    uint8_t bytes[kOpenEventSize] = {};
};
[[nodiscard]] TOpenEvent FindOpenEvent(const std::string& dataFolder, int address, const TIdentLines& identLines);

// The first *.EVT file of the folder whose Identity Brand + Type, without
// blanks and case, equals brandAndType (identification line 1 followed by
// line 2) without blanks and case; empty when there is none.
[[nodiscard]] std::string FindEventDefinition(const std::string& programFolder, const std::string& brandAndType);

// One additional parameter of an event as its definition describes it.
struct TEventParamDef {
    std::string description;
    std::string unit; // shown as "[" unit "]"
    int typeCode = 0; // 1..9, else 0 (no value, no bytes)
};

struct TEventDefinition {
    std::string description;
    std::vector<TEventParamDef> params;
};

// Bytes of a value of a type code (0 for codes without a value).
[[nodiscard]] std::size_t ValueTypeSize(int typeCode);
// Description and parameters of an event code from its section of a .EVT file.
[[nodiscard]] TEventDefinition ReadEventDefinition(TIni& ini, int code);
// 15 plus, per parameter, its status byte and value size.
[[nodiscard]] std::size_t ExpectedEventLength(const TEventDefinition& definition);

// The parameters to show for a record of the given length: the definition's
// when the length is the expected one, the standard volume of a 20-byte
// record, else none. False in the last case: a definition error.
[[nodiscard]] bool ParamsForRecord(const TEventDefinition& definition, std::size_t length,
                                   std::vector<TEventParamDef>& params);

// A decoded additional parameter.
struct TEventParamValue {
    bool hasValue = false; // type code 1..9
    bool statusValid = false;
    bool valueValid = false;
    double value = 0.0;
};
// Decodes the parameters from offset 15 of a record, in order; parameters
// that would run past the record end come back without a value.
[[nodiscard]] std::vector<TEventParamValue> DecodeEventParams(const uint8_t* record, std::size_t length,
                                                              const std::vector<TEventParamDef>& params);
// "! " for a bad status, "? " for an invalid value, then the value with 0..5
// decimals by its size; empty for a parameter without a value.
[[nodiscard]] std::string ParamValueText(const TEventParamValue& value);
// A six-byte record time stamp as "yy-mm-dd   hh:mm:ss".
[[nodiscard]] std::string EventStampText(const uint8_t* stamp);

} // namespace kiv
