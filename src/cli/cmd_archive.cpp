// kiv-cli archive: the samples of one channel over a period, as the reports
// read them; kiv-cli archive-info: what one month file holds.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "datafiles/archive.h"
#include "support/text_encoding.h"

#include <cstdio>
#include <string>

namespace kiv::cli {
namespace {

constexpr const char* kArchiveName = "archive";
constexpr const char* kInfoName = "archive-info";

int RunArchive(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kArchiveName, args, in); rc != kExitOk)
        return rc;
    int address = 0;
    TimeStamp start = 0, end = 0;
    std::string folder, error;
    if (!ParseAddress(in.values[1], address, error) || !ParseTimeRange(in.values[3], in.values[4], start, end, error))
        return UsageError(kArchiveName, error);
    const std::string &channel = in.values[2];
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk)
        return Fail(kArchiveName, rc, error);
    if (const int rc = FindStation(folder, address, error); rc != kExitOk)
        return Fail(kArchiveName, rc, error);
    if (const int rc = FindChannel(folder, address, channel, error); rc != kExitOk)
        return Fail(kArchiveName, rc, error);
    TArchive archive;
    const int status = archive.OpenPeriod(folder, address, start, end, channel);
    if (status != 0 && status != ArcNoFile)
        return Fail(kArchiveName, kExitData,
                    "nie można odczytać archiwum " + channel + ": " + FileErrorMessage(status));
    std::printf("status %d, %zu samples\n", status, archive.SampleCount());
    std::vector<TReportSample> report;
    archive.ReportSamples(report);
    const Bytes &raw = archive.Samples();
    for (std::size_t i = 0; i < report.size(); ++i) {
        const TReportSample &r = report[i];
        std::printf("%s %u %u %d %.10g %d\n", StampText(r.time).c_str(), unsigned{r.interval},
                    unsigned{raw[i * kSampleSize + 6]}, int{r.validity}, r.value, int{r.status});
    }
    return kExitOk;
}

void PrintIdentity(std::size_t number, const Bytes &section) {
    const TDevSign sign = IdentitySign(section);
    std::printf("identity %zu: from %s, \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" \"%s\"\n", number,
                StampText(IdentityValidFrom(section)).c_str(), DecodeText(sign.brand).c_str(),
                DecodeText(sign.serialNumber).c_str(), DecodeText(sign.type).c_str(),
                DecodeText(sign.nameplate).c_str(), DecodeText(sign.spare1).c_str(),
                DecodeText(sign.spare2).c_str());
}

void PrintDescriptor(std::size_t number, const Bytes &section) {
    const TParamItem item = DescriptorItem(section);
    std::printf("descriptor %zu: from %s, column %d, name \"%s\", \"%s\", unit \"%s\", kind \"%s\", type %u, "
                "hour %d/%u, day %d/%u\n",
                number, StampText(DescriptorValidFrom(section)).c_str(), item.ColumnIndex(),
                DecodeText(item.ShortName()).c_str(), DecodeText(item.FullName()).c_str(),
                DecodeText(item.Unit()).c_str(), DecodeText(item.Kind()).c_str(), unsigned{item.TypeCode()},
                item.HourIndex(), unsigned{item.HourTypeCode()}, item.DayIndex(),
                unsigned{item.DayTypeCode()});
}

int RunArchiveInfo(const std::vector<std::string> &args) {
    CliArgs in;
    if (const int rc = SplitArguments(kInfoName, args, in); rc != kExitOk)
        return rc;
    const std::string &file = in.values[0];
    std::string error;
    if (const int rc = FindFileOfKind(file, "ZQFCD", "plikiem archiwum (.FCD)", error); rc != kExitOk)
        return Fail(kInfoName, rc, error);
    TFcdContent content;
    if (const int rc = ReadFcdContent(file, content); rc != 0)
        return Fail(kInfoName, kExitData, file + ": " + FileErrorMessage(rc));
    const TFileHeader &h = content.header;
    std::printf("magic \"%s\"\nversion %u\nheader length %u\nrecord length %u\nfile length %u (size %ld)\n",
                std::string(h.magic, sizeof h.magic).c_str(), unsigned{h.version}, unsigned{h.headerLength},
                unsigned{h.recordLength}, h.fileLength, content.fileSize);
    std::printf("crc %08X (computed %08X)\nstored name \"%s\"\nsamples %zu\n", h.crc, content.computedCrc,
                DecodeText(content.storedName).c_str(), content.samples.size() / kSampleSize);
    for (std::size_t i = 0; i < content.identities.size(); ++i)
        PrintIdentity(i + 1, content.identities[i]);
    for (std::size_t i = 0; i < content.descriptors.size(); ++i)
        PrintDescriptor(i + 1, content.descriptors[i]);
    return kExitOk;
}

const CliRegistrar kArchive({kArchiveName, "FOLDER ADRES KANAŁ OD DO",
                             "Próbki kanału z okresu: czas, interwał, typ, ważność, wartość, status",
                             RunArchive,
                             {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
                              {"ADRES", "adres stacji, 1..65535"},
                              {"KANAŁ", "nazwa skrócona parametru, jak w nazwach plików archiwum (np. dVn)"},
                              {"OD", "początek okresu, \"RRRR-MM-DD gg:mm:ss\""},
                              {"DO", "koniec okresu, \"RRRR-MM-DD gg:mm:ss\", nie wcześniej niż OD"}},
                             {},
                             {"kiv-cli archive demo 1 dVn \"2026-05-01 00:00:00\" \"2026-05-02 00:00:00\""}});
const CliRegistrar kArchiveInfo({kInfoName, "PLIK.FCD",
                                 "Nagłówek, identyfikacje urządzenia i opisy kanału jednego pliku miesiąca archiwum",
                                 RunArchiveInfo,
                                 {{"PLIK.FCD", "plik archiwum jednego miesiąca, np. demo/FC_00001/00001_2026_05_dVn.FCD"}},
                                 {},
                                 {"kiv-cli archive-info demo/FC_00001/00001_2026_05_dVn.FCD"}});

} // namespace
} // namespace kiv::cli
