#pragma once
// The archive of a station keeps each channel (one device archive, e.g. the
// hourly dVn) in one FCD file per calendar month. The read-out hands all
// samples of a channel to StoreSamples, which sorts them, cuts them by month
// and merges each month into its file, dropping duplicates and samples that
// belong to another device's time window. Reports, graphs and the export call
// OpenPeriod, which reads the month files covering a period and keeps the
// samples in time order together with the device identities and channel
// descriptors found in the files; ReportSamples then turns them into numbers
// tagged with the identity and descriptor in force at each sample.
#include "config/station_db.h"
#include "datafiles/plik.h"
#include "datafiles/profile_item.h"
#include "datafiles/timestamp.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

constexpr std::size_t kSampleSize = 16;
// From byte 7 a sample record holds the value as a device delivers it: the
// validity flag, then up to eight value bytes.
constexpr std::size_t kSampleSlotOffset = 7;
constexpr std::size_t kSampleSlotSize = 9;
// Valid-from time followed by the profile item: section 4 without its head.
constexpr std::size_t kDescriptorRecordSize = 4 + TParamItem::kSize;
constexpr int kFcdVersion = 1;

// Results of OpenPeriod besides 0 and the file error codes.
enum ArchiveStatus : int {
    ArcNoFile = -1,
    ArcBadName = -300,
    ArcBadSize = -200,
    ArcBadCrc = -100,
    ArcBadVersion = -50,
};

// The identity of the device that delivered samples. Strings are kept as the
// file stores them (bytes); decode them with DecodeText for display.
struct TDevSign {
    std::string brand; // the station file's Brand
    std::string serialNumber;
    std::string type;
    std::string nameplate; // the last nameplate text of the device
    std::string spare1;    // left empty by the read-out
    std::string spare2;

    // Same device: the first four strings are equal.
    [[nodiscard]] bool SameDevice(const TDevSign &other) const;
    bool operator==(const TDevSign &) const = default;
};

// One loaded sample as the reports consume it.
struct TReportSample {
    uint32_t time = 0;
    uint16_t interval = 0; // minutes
    int16_t validity = 0;  // the device's flag, non-zero: valid
    double value = 0.0;
    int16_t status = 0;        // 1: the value is a number
    int16_t identityIndex = 1; // from 1, the identity entry in force
    int16_t descriptorIndex = 1;
};

// A month whose new samples StoreSamples could not store.
struct TMonthStoreFailure {
    int year = 0;
    int month = 0;
    std::string fileName;
    int code = 0; // file error code or a validation code of ArchiveStatus
};

// Station folder of an address inside a data folder, with a trailing "/".
[[nodiscard]] inline std::string StationFolder(const std::string &dataFolder, int address) {
    return StationFolderPath(dataFolder, address) + "/";
}
// File name without folder, e.g. "00012_2005_03_Vn.FCD"; the year of a
// month is written from its last two digits, 20yy below 80, 19yy from 80.
[[nodiscard]] std::string ArchiveFileName(int address, int fourDigitYear, int month,
                                          const std::string &channel);
[[nodiscard]] std::string ArchiveFilePath(const std::string &dataFolder, int address, int fourDigitYear,
                                          int month, const std::string &channel);

class TArchive : public TPlik {
  public:
    // Loads every sample of the channel with start <= time <= end from the
    // month files of the period. 0 when a month file was read, ArcNoFile when
    // none exists, else a file error code or a validation code after its
    // message was shown (everything is released then). On 0 or ArcNoFile the
    // start becomes the first loaded sample's time and the end the last one's;
    // with nothing loaded the end becomes start - 1.
    [[nodiscard]] int OpenPeriod(const std::string &dataFolder, int address, TimeStamp &start, TimeStamp &end,
                                 const std::string &channel);

    [[nodiscard]] std::size_t SampleCount() const { return samples_.size() / kSampleSize; }
    // The loaded samples, 16-byte records as stored, in time order.
    [[nodiscard]] const Bytes &Samples() const { return samples_; }
    // Appends one report sample per loaded sample.
    void ReportSamples(std::vector<TReportSample> &out) const;

    [[nodiscard]] int IdentityCount() const { return static_cast<int>(identities_.size()); }
    // Entry numbers count from 1; false for a number out of range.
    [[nodiscard]] bool IdentityEntry(int number, TimeStamp &validFrom, TDevSign &sign) const;
    [[nodiscard]] int DescriptorCount() const { return static_cast<int>(descriptors_.size()); }
    [[nodiscard]] bool DescriptorEntry(int number, TimeStamp &validFrom, TParamItem &item) const;
    // The 241-byte descriptor record (valid-from time, then the item).
    [[nodiscard]] bool DescriptorRecord(int number, uint8_t *record) const;

    // Writes the samples (byteCount / 16 records) into the month files. 0 when
    // every month was stored (or had nothing new); otherwise the code of the
    // first month that failed. A month whose file cannot be read or is invalid
    // keeps its file untouched and stores nothing; each such month is added to
    // `failures` when given. Read and validation failures were shown as
    // messages; write failures are not shown.
    [[nodiscard]] int StoreSamples(const std::string &dataFolder, int address, const TParamItem &descriptor,
                                   const uint8_t *buffer, std::size_t byteCount, const TDevSign &sign,
                                   const std::string &channel,
                                   std::vector<TMonthStoreFailure> *failures = nullptr);

    // Time of the newest sample of the channel, from the newest month file
    // that holds one; -1 when there is none. Of a month file only the header,
    // the section table and the last record are read, so damage that only the
    // CRC over the whole file shows is not seen here. A month file a period
    // read would refuse for its name, length or version shows that message
    // and the month before it answers: a read-out then starts from there, and
    // storing into the damaged month reports that it could not.
    [[nodiscard]] static int64_t NewestSampleTime(const std::string &dataFolder, int address,
                                                  const std::string &channel);

    void Release();

  private:
    int ReadMonth(const std::string &path, const std::string &expectedName, TimeStamp start, TimeStamp end);
    int StoreMonth(const std::string &dataFolder, int address, int year, int month,
                   const TParamItem &descriptor, std::vector<const uint8_t *> &run, const TDevSign &sign,
                   const std::string &channel);

    Bytes image_;                    // the month file being read
    Bytes samples_;                  // loaded samples, 16 bytes each
    std::vector<Bytes> identities_;  // clear section-1 images
    std::vector<Bytes> descriptors_; // clear section-4 images
    uint8_t keyOne_[kKeySize] = {};
    uint8_t keyTwo_[kKeySize] = {};
};

// Encodes one 16-byte sample record: time, interval, type code, then `size`
// bytes of the value slot (validity flag first; more than nine are cut). The
// unused slot bytes are filled from RandomDataByte, as devices leave them
// undefined; a seeded source makes the record reproducible.
void EncodeSample(uint8_t *record, TimeStamp time, uint16_t interval, uint8_t type, const uint8_t *slot,
                  std::size_t size);

// A month file as it lies on disk, unscrambled, for inspection (kiv-cli
// archive-info, the data folder check). No message is shown.
struct TFcdContent {
    TFileHeader header;
    long fileSize = 0;
    uint32_t computedCrc = 0;
    std::string storedName;
    std::vector<Bytes> identities;  // clear section-1 images
    std::vector<Bytes> descriptors; // clear section-4 images
    Bytes samples;                  // whole 16-byte records of the data area
    std::size_t tailBytes = 0;      // of an incomplete record after them
    int validation = 0;             // 0, or the ArchiveStatus a period read refuses the file with
};
// 0 or a file error code.
[[nodiscard]] int ReadFcdContent(const std::string &path, TFcdContent &content);
// What a period read says of a file it could not take (an ArchiveStatus or a
// file error code), without the path it appends.
[[nodiscard]] std::string ArchiveFaultText(int code);
// Fields of clear section images.
[[nodiscard]] TimeStamp IdentityValidFrom(const Bytes &section);
[[nodiscard]] TDevSign IdentitySign(const Bytes &section);
[[nodiscard]] TimeStamp DescriptorValidFrom(const Bytes &section);
[[nodiscard]] TParamItem DescriptorItem(const Bytes &section);

} // namespace kiv
