#pragma once
// Pieces the transmission windows build their forms from: the number fields
// of the link times with their limits and steps, the "Czytaj od"/"Czytaj do"
// pickers, the time a picker gives the read-out, and the log files in the
// current folder.
#include <QTime>

#include <cstdint>
#include <string>

class QCheckBox;
class QDateTimeEdit;
class QSpinBox;
class QWidget;

namespace kiv {

// A right-aligned number field named `name` (its component name).
[[nodiscard]] QSpinBox* MakeTxSpin(QWidget* parent, const char* name, int low, int high, int step);
// A date and time picker set to today at `time`, disabled until its box is ticked.
[[nodiscard]] QDateTimeEdit* MakeTxPicker(QWidget* parent, const char* name, QTime time);
// The picker's time in seconds since 1970 (device time), or -1 when its box is not ticked.
[[nodiscard]] int32_t PickedTxTime(const QCheckBox* box, const QDateTimeEdit* edit);
// The log file `name` ("Tx.log", "Modem.log") in the current folder.
[[nodiscard]] std::string TxLogPath(const char* name);

} // namespace kiv
