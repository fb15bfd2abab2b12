#pragma once
// The ordered capacity of the node selected in the main window, below its
// window TFMocZamowiona. Showing reads the value once (ReadCapacity): a plain
// station's [Measurements] PeakFlow, or the third field of the virtual
// station's entry found by its label, remembered with its key and text.
// Storing (StoreCapacity) writes the field's digits back: into PeakFlow, or
// into that entry rebuilt with the label, the formula, the new value and
// everything that followed the old value, so the tariff set name and later
// fields survive and an entry without a fourth field ends with "@".
#include <string>

namespace kiv {

struct TCapacitySubject {
    std::string nodeText; // "00012 Kotłownia", or a virtual station's label
    std::string dataFolder;
    bool isVirtual = false;
    std::string kivIni;
};

struct TCapacityShown {
    bool found = false; // a station file path, or the virtual station's entry
    std::string value;  // as stored; empty when absent
    std::string stationFile;
    int number = 0;    // the virtual station's entry, counted from 1
    std::string entry; // the entry as it was read
};

[[nodiscard]] TCapacityShown ReadCapacity(const TCapacitySubject& subject);

// The entry with its third field replaced; what followed it is kept.
[[nodiscard]] std::string EntryWithCapacity(const std::string& entry, const std::string& capacity);

enum class CapacityStore { Stored, NothingToStore, NoEntry, WriteFailed };

// The field's text without blanks is stored. An empty field stores nothing;
// a value for a subject that was not found (a virtual station without an
// entry, a node text without an address) is NoEntry and stores nothing.
[[nodiscard]] CapacityStore StoreCapacity(const TCapacitySubject& subject, const TCapacityShown& shown,
                                          const std::string& fieldText);

// Why a value was not stored, for the window to tell; empty for Stored and
// NothingToStore.
[[nodiscard]] std::string CapacityStoreMessage(CapacityStore result, const TCapacitySubject& subject,
                                               const TCapacityShown& shown);

} // namespace kiv
