#pragma once
// Small shared helpers with no state of their own beyond the program folder:
// path building, number and date texts, parameter name rules for volume
// increments, and the file-system chores of deleting a folder tree and
// rotating log files. Windows and core code call them directly; failures come
// back as false or -1, never as exceptions.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kiv {

// ---- paths ----

// The folder with "/" appended unless it already ends with one. An empty
// folder stays empty: it stands for the working folder, and must not turn
// into "/", the root of the file system, under a caller that appends names.
[[nodiscard]] std::string PathWithSeparator(const std::string& path);
// The folder of the running executable, with a trailing "/"; SetProgramFolder
// replaces it (tests, or a start from elsewhere).
[[nodiscard]] std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);
[[nodiscard]] std::string ProgramFolderFile(const std::string& name);

// Qt's application object sets the C library's locale from the environment,
// which would make a Polish desktop print and parse "1,5" in every snprintf
// and strtod of the file formats and reports. Called right after it, this
// keeps the C numbers; the windows format numbers for the user themselves.
void KeepCNumbers();

// ---- number and date texts ----

// How PadNumber treats a text longer than the width.
enum PadMode : int { PadKeepLast = 0, PadKeepFirst = 1, PadKeepWhole = 2 };

// Decimal text of the number cut to the width as the mode says, then padded on
// the left with the pad character to the width. Width 0 or less: the text as is.
[[nodiscard]] std::string PadNumber(long long number, int width, int mode, char pad = ' ');
// Decimal text padded with "0" on the left to the width, never cut; a minus
// sign stays in front of the zeros.
[[nodiscard]] std::string ZeroPad(long long number, int width);
// Two upper-case hexadecimal digits.
[[nodiscard]] std::string HexByte(uint8_t value);
// "YYYY-MM-DD".
[[nodiscard]] std::string DateText(int year, int month, int day);
// "DD.MM.YYYY", as titles and read-outs show a day.
[[nodiscard]] std::string DottedDateText(int year, int month, int day);
// "hh:mm:ss".
[[nodiscard]] std::string TimeText(int hour, int minute, int second);
// "YYYY-MM-DD hh:mm:ss" of already decoded fields, its first `parts` parts
// (1 year only ... 6 down to the second); parts is kept within 1..6.
[[nodiscard]] std::string DateTimeText(int year, int month, int day, int hour, int minute, int second,
                                       int parts = 6);
// Fixed notation with that many decimals (0..9), an exact half rounded away
// from zero (1234.5 is "1235", 100.25 is "100.3"), never "-0".
[[nodiscard]] std::string RoundedText(double value, int decimals);
// "tak" or "nie".
[[nodiscard]] std::string YesNoText(bool flag);

// ---- text helpers ----

// The text without blanks, upper-cased; UTF-8 Latin letters (Polish included)
// are upper-cased too, other bytes are kept.
[[nodiscard]] std::string CompactUpper(const std::string& text);
// The part before the first separator; text keeps the rest after it. Without
// a separator the whole text is returned and text becomes empty.
[[nodiscard]] std::string SplitAt(std::string& text, char separator);
// The number formed by the trailing decimal digits, or -1 when there are none
// (or too many to hold).
[[nodiscard]] long long TrailingNumber(const std::string& text);

// ---- volume increment parameters ----

// "Qn" for "DVN", "Qr" for "DVR" (any case), otherwise the name itself.
[[nodiscard]] std::string FlowName(const std::string& name);
[[nodiscard]] bool IsIncrement(const std::string& name);
// For an increment: value per hour given the sample interval in minutes;
// otherwise (or with an interval of 0 or less) the value unchanged.
[[nodiscard]] double ToFlow(const std::string& name, int intervalMinutes, double value);
// (value - low) / (high - low) * full, at most full; 0 when high <= low or
// the result is negative.
[[nodiscard]] double BarShare(double low, double value, double high, double full);
// True when length is positive and both buffers hold the same bytes.
[[nodiscard]] bool SameBytes(const void* a, const void* b, long length);

// ---- file-system chores ----

// Deletes the folder with everything in it. True when the path is not an
// existing folder (nothing done) or when the folder is gone at the end; the
// first failed deletion stops with false. Links inside are removed, never followed.
[[nodiscard]] bool DeleteFolder(const std::string& path);
// Keeps `depth` old copies of a log: when name exists, name+depth is deleted
// and name+k renamed to name+(k+1) for k = depth-1 down to 0 (name+0 being the
// name itself). Missing log: true, nothing done. The first failure: false.
[[nodiscard]] bool RotateLog(const std::string& name, int depth);

// ---- columns ----

// 1..26 "A".."Z", 27..700 two letters ("AA", "AZ", "BA", ... "ZX"), else "__".
[[nodiscard]] std::string ColumnLetters(int number);

} // namespace kiv
