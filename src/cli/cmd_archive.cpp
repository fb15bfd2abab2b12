// kiv-cli archive: the samples of one channel over a period, as the reports
// read them; kiv-cli archive-info: what one month file holds.
#include "cli/cli_command.h"
#include "datafiles/archive.h"
#include "support/text_encoding.h"

#include <cstdio>
#include <string>

namespace kiv::cli {
namespace {

bool ParseAddress(const std::string &text, int &address) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    address = std::stoi(text);
    return address >= 1 && address <= 65535;
}

int RunArchive(const std::vector<std::string> &args) {
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: kiv-cli archive DATAFOLDER ADDRESS CHANNEL FROM TO\n");
        return 64;
    }
    int address = 0;
    TimeStamp start = 0, end = 0;
    if (!ParseAddress(args[1], address)) {
        std::fprintf(stderr, "kiv-cli archive: the address must be 1..65535\n");
        return 64;
    }
    if (!ParseStamp(args[3], start) || !ParseStamp(args[4], end)) {
        std::fprintf(stderr, "kiv-cli archive: times are \"YYYY-MM-DD hh:mm:ss\", 1970..2069\n");
        return 64;
    }
    std::string folder = args[0];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    TArchive archive;
    const int status = archive.OpenPeriod(folder, address, start, end, args[2]);
    std::printf("status %d, %zu samples\n", status, archive.SampleCount());
    std::vector<TReportSample> report;
    archive.ReportSamples(report);
    const Bytes &raw = archive.Samples();
    for (std::size_t i = 0; i < report.size(); ++i) {
        const TReportSample &r = report[i];
        std::printf("%s %u %u %d %.10g %d\n", StampText(r.time).c_str(), unsigned{r.interval},
                    unsigned{raw[i * kSampleSize + 6]}, int{r.validity}, r.value, int{r.status});
    }
    return status == 0 || status == ArcNoFile ? 0 : 1;
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
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kiv-cli archive-info FILE.FCD\n");
        return 64;
    }
    TFcdContent content;
    if (const int rc = ReadFcdContent(args[0], content); rc != 0) {
        std::fprintf(stderr, "kiv-cli archive-info: %s\n", FileErrorMessage(rc).c_str());
        return 1;
    }
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
    return 0;
}

const CliRegistrar kArchive({"archive", "DATAFOLDER ADDRESS CHANNEL FROM TO",
                             "prints the samples of a channel over a period (times \"YYYY-MM-DD hh:mm:ss\")",
                             RunArchive});
const CliRegistrar kArchiveInfo(
    {"archive-info", "FILE.FCD",
     "prints the header, device identities and channel descriptors of a month file", RunArchiveInfo});

} // namespace
} // namespace kiv::cli
