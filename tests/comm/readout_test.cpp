// The device read-out end to end: the program's read-out drives the
// communication module over a pseudo-terminal to the kiv-devsim simulator,
// and the tests look at what arrived in the data folder, what was sent on the
// line (the transmission log) and what the progress window was told.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/comm_module.h"
#include "common/param_item.h"
#include "comm/device_readout.h"
#include "comm/progress_recorder.h"
#include "config/ini_file.h"
#include "config/station_db.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "support/text_encoding.h"
#include "link_test_app.h"

using kivtest::App;
using kivtest::LinkOf;

namespace kiv {
namespace {

using Frame = std::vector<uint8_t>;
constexpr int kAddress = 12;
const std::string kProgramDir = KIV_PROGRAM_DIR "/";
// The simulator's clock: every archive and event time follows from it.
constexpr const char* kClock = "2026-06-01 00:30:00";

int32_t Stamp(const std::string& text) {
    TimeStamp stamp = 0;
    EXPECT_TRUE(ParseStamp(text, stamp)) << text;
    return static_cast<int32_t>(stamp);
}

// kiv-devsim on a pseudo-terminal for the length of a test.
class Simulator {
public:
    // The device clock is the fixed test clock, or today's date when the
    // read-out's default period (the last 150 days) matters.
    bool Start(const std::string& profile, const QStringList& extra, bool realClock) {
        // Today 00:30, so that two devices started one after the other hold the same events.
        const TimeStamp now = NowStamp();
        const std::string today = StampText(now - now % 86400 + 1800);
        QStringList args{"--profile", QString::fromStdString(profile), "--address", QString::number(kAddress),
                         "--clock", realClock ? QString::fromStdString(today) : QString(kClock)};
        args += extra;
        process_.start(QString::fromStdString(kProgramDir + "kiv-devsim"), args);
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(5000)) return false;
        port_ = process_.readLine().trimmed().toStdString();
        return !port_.empty();
    }
    ~Simulator() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    const std::string& Port() const { return port_; }

private:
    QProcess process_;
    std::string port_;
};

// Passes everything to a recorder and presses cancel while the exchange that
// follows a status text is running (its first lamp).
class CancelOnStatus final : public ITxProgress {
public:
    CancelOnStatus(TTxProgressRecorder& r, std::string trigger) : r_(r), trigger_(std::move(trigger)) {}
    void Reset(const std::string& s) override { r_.Reset(s); }
    void SetConnection(const std::string& t) override { r_.SetConnection(t); }
    void SetStatus(const std::string& t) override {
        r_.SetStatus(t);
        armed_ = t == trigger_;
    }
    void SetClock(const std::string& t) override { r_.SetClock(t); }
    void SetBar(int p) override { r_.SetBar(p); }
    void StartCounter() override { r_.StartCounter(); }
    void StopCounter() override { r_.StopCounter(); }
    void SetCounterLimit(int s) override { r_.SetCounterLimit(s); }
    int ElapsedSeconds() const override { return r_.ElapsedSeconds(); }
    bool LimitReached() const override { return r_.LimitReached(); }
    void SetLamp(TxLamp l, bool on) override {
        r_.SetLamp(l, on);
        if (armed_ && on) r_.PressExit();
    }
    void FillCheckList(const std::vector<std::string>& n) override { r_.FillCheckList(n); }
    void MarkItem(int i, TxCheck s) override { r_.MarkItem(i, s); }
    void SetExitEnabled(bool e) override { r_.SetExitEnabled(e); }
    void SetExitCaption(const std::string& c) override { r_.SetExitCaption(c); }
    void PressExit() override { r_.PressExit(); }
    bool CancelRequested() const override { return r_.CancelRequested(); }
    bool ClosedByUser() const override { return r_.ClosedByUser(); }
    void CloseWindow() override { r_.CloseWindow(); }

private:
    TTxProgressRecorder& r_;
    std::string trigger_;
    bool armed_ = false;
};

TParamItem Item(const std::string& shortName, int32_t param, uint8_t type, int32_t hour = -1, uint8_t hourType = 0,
                int32_t day = -1, uint8_t dayType = 0) {
    return test::MakeItem({.shortName = shortName,
                           .param = param,
                           .type = type,
                           .hour = hour,
                           .hourType = hourType,
                           .day = day,
                           .dayType = dayType,
                           .fullName = "Parametr " + shortName});
}

struct ReadSetup {
    std::string profile = kProgramDir + "KM100.FCP";
    QStringList simArgs;
    std::string kivIni;  // extra lines of Kiv.ini
    std::string station; // extra lines of the station file
    int32_t start = -1;
    int32_t end = -1;
    int attempts = 2;
    uint8_t block = 250;
    std::function<void(TReadOutInput&)> tweak;
    std::string cancelAt;
    bool realClock = false;
};

class ReadoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        data = root + "data/";
        std::filesystem::create_directories(StationFolderPath(data, kAddress));
        stationFile = StationFilePath(data, kAddress);
        std::ofstream(stationFile) << "[Main]\r\nLabel=Stacja\r\n";
    }

    // A profile file of our own in the temporary folder.
    std::string WriteProfile(uint8_t protocol, const std::vector<TParamItem>& items) {
        TRecProfParams params;
        params.profileByte = protocol;
        params.texts[0] = "Test";
        const std::string path = root + "TEST.FCP";
        TFCProfileRdWr writer;
        EXPECT_EQ(writer.WriteProfile(path, params, items.data(), static_cast<int>(items.size()), {"G=Grupa"}), 0);
        return path;
    }

    TxResult Read(const ReadSetup& setup) {
        Simulator sim;
        if (!sim.Start(setup.profile, setup.simArgs, setup.realClock)) {
            ADD_FAILURE() << "simulator did not start";
            return TxResult::NoReply;
        }
        std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM1=" << sim.Port() << "\r\n" << setup.kivIni;
        std::ofstream(stationFile, std::ios::app) << setup.station;
        TReadOutInput input;
        TFCProfileRdWr reader;
        std::vector<std::string> groups;
        EXPECT_TRUE(reader.ReadProfile(setup.profile, input.profile, input.items, groups));
        input.address = kAddress;
        input.samplesPerBlock = setup.block;
        input.attempts = setup.attempts;
        input.settings = ReadOutSettingsFrom(root + "Kiv.ini", stationFile, input.items);
        input.dataFolder = data;
        input.startTime = setup.start;
        input.endTime = setup.end;
        input.archiveWriter = [this](const TSampleBatch& batch) {
            batches.push_back(batch.count);
            return writerFails ? 5 : WriteBatchToArchive(batch);
        };
        if (setup.tweak) setup.tweak(input);
        recorder.Reset("12 Stacja");
        recorder.SetExitEnabled(true);
        recorder.ClearEvents();
        CancelOnStatus progress(recorder, setup.cancelAt);
        TFCommModule module;
        module.SetProgress(&progress);
        module.SetSettingsFile(root + "Kiv.ini");
        std::filesystem::remove(root + "Tx.log");
        module.SetLogFile(root + "Tx.log");
        EXPECT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM1"; link.baud = 115200; link.parity = "None"; link.charTimeout = 300; link.answerTimeout = 1000; })));
        stats = {};
        TReadLink link{module, progress, &stats};
        const TxResult result = ReadDevice(link, input, report);
        sign = report.sign;
        module.ClosePort();
        return result;
    }

    // Frames sent, from the transmission log (first 50 bytes of each).
    std::vector<Frame> Sent() const {
        std::vector<Frame> frames;
        std::ifstream log(root + "Tx.log");
        for (std::string line; std::getline(log, line);) {
            const auto at = line.find(" N:");
            if (at == std::string::npos) continue;
            std::istringstream hex(line.substr(at + 3));
            Frame frame;
            for (std::string byte; hex >> byte;) frame.push_back(static_cast<uint8_t>(std::stoi(byte, nullptr, 16)));
            frames.push_back(frame);
        }
        return frames;
    }
    std::vector<Frame> SentWithCode(uint8_t code) const {
        std::vector<Frame> out;
        for (const auto& f : Sent())
            if (f.size() > 7 && f[7] == code) out.push_back(f);
        return out;
    }
    bool HasEvent(const std::string& line) const {
        const auto& events = recorder.Events();
        return std::find(events.begin(), events.end(), line) != events.end();
    }
    std::string Hardware(const std::string& key) const { return ReadIniString("Hardware", key, "", stationFile); }
    // Samples of a channel between two times, as stored.
    std::vector<uint32_t> StoredTimes(const std::string& channel, int32_t from, int32_t to, TArchive& archive) const {
        TimeStamp a = static_cast<TimeStamp>(from), b = static_cast<TimeStamp>(to);
        std::vector<uint32_t> times;
        if (archive.OpenPeriod(data, kAddress, a, b, channel) != 0) return times;
        for (std::size_t i = 0; i < archive.SampleCount(); ++i) {
            const uint8_t* s = archive.Samples().data() + i * kSampleSize;
            times.push_back(uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24);
        }
        return times;
    }

    QTemporaryDir dir;
    std::string root, data, stationFile;
    TTxProgressRecorder recorder;
    TLinkStats stats;
    TDevSign sign;
    TReadOutReport report;
    std::vector<std::size_t> batches;
    bool writerFails = false;
};

TEST_F(ReadoutTest, FullReadOfProtocolOneDeviceAndSecondReadAddsNothing) {
    ReadSetup setup;
    setup.realClock = true;
    ASSERT_EQ(Read(setup), TxResult::Good);
    for (const char* status : {"status: Odczyt zegara", "status: Odczyt tabliczki znamionowej",
                               "status: Odczyt tablicy KWDB", "status: Odczyt danych bieżących",
                               "status: Odczyt zdarzenia nr 29", "status: Odczyt zakończony"})
        EXPECT_TRUE(HasEvent(status)) << status;
    EXPECT_EQ(recorder.Clock().find(" [system "), 19u) << recorder.Clock();
    ASSERT_EQ(recorder.ItemStates().size(), 8u);
    EXPECT_EQ(recorder.Items()[0], "zdarzenia");
    for (TxCheck state : recorder.ItemStates()) EXPECT_EQ(state, TxCheck::Checked);
    EXPECT_FALSE(recorder.Lamp(TxLamp::Transmit) || recorder.Lamp(TxLamp::Wait) || recorder.Lamp(TxLamp::Receive));
    EXPECT_TRUE(HasEvent("lamp: Nadawanie on") && HasEvent("lamp: Czekanie on") && HasEvent("lamp: Odbiór on"));

    EXPECT_EQ(Hardware("Brand"), "Kivmet");
    EXPECT_EQ(Hardware("Type"), "KM-100");
    EXPECT_EQ(Hardware("SerialNumber"), sign.serialNumber);
    EXPECT_FALSE(sign.serialNumber.empty());

    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profileName;
    ASSERT_EQ(fcc.ReadCurrentData(data, kAddress, count, values, time, profileName), 0);
    EXPECT_GT(count, 17u * 2);
    EXPECT_EQ(profileName, "Kivmet KM-100");
    EXPECT_EQ(fcc.identity[0], "Kivmet");
    const TimeStamp today = NowStamp() - NowStamp() % 86400;
    EXPECT_LE(std::abs(int64_t(time) - int64_t(today + 1800)), 60) << "the device clock is the read-out time";

    TEventsFile events;
    EXPECT_EQ(ReadEventsFile(data, kAddress, 0, {}, events), 30);

    const int32_t now = static_cast<int32_t>(NowStamp());
    const int32_t from = now - now % 86400 - 12960000;
    TArchive archive;
    const std::vector<uint32_t> first = StoredTimes("dVn", from - 86400, now, archive);
    std::vector<TReportSample> samples;
    archive.ReportSamples(samples);
    const auto daily = std::count_if(samples.begin(), samples.end(), [](const TReportSample& x) { return x.interval == 1440; });
    EXPECT_EQ(first.front(), uint32_t(from));
    EXPECT_EQ(first.back(), uint32_t(from + 12960000 - 3600)) << "the last complete hour before 00:30";
    EXPECT_EQ(samples.size() - daily, 150u * 24);
    EXPECT_EQ(daily, 149) << "daily samples at 06:00 of each day but today";
    TimeStamp validFrom = 0;
    TDevSign stored;
    ASSERT_TRUE(archive.IdentityEntry(1, validFrom, stored));
    EXPECT_EQ(stored.brand, "Kivmet");
    EXPECT_EQ(stored.serialNumber, sign.serialNumber);
    TParamItem descriptor;
    ASSERT_TRUE(archive.DescriptorEntry(1, validFrom, descriptor));
    EXPECT_EQ(descriptor.ShortName(), "dVn");
    EXPECT_EQ(descriptor.HourIndex(), 2);

    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_EQ(SentWithCode(0x3A).size(), 1u) << "the stored open event stops the event read";
    EXPECT_EQ(ReadEventsFile(data, kAddress, 0, {}, events), 30);
    TArchive again;
    EXPECT_EQ(StoredTimes("dVn", from - 86400, now, again), first);
}

TEST_F(ReadoutTest, FullReadOfProtocolTwoDeviceWithTableDumps) {
    ReadSetup setup;
    setup.profile = kProgramDir + "KM200.FCP";
    setup.kivIni = "[Debug]\r\nDumpDP=YES\r\nDumpTZ=YES\r\n";
    setup.start = Stamp("2026-05-25 00:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_TRUE(HasEvent("status: Odczyt tablicy DP"));
    EXPECT_TRUE(HasEvent("status: Odczyt tablicy TZ"));
    for (const char* name : {"DP.BIN", "TZ.BIN"}) {
        const auto path = StationFolder(data, kAddress) + name;
        ASSERT_TRUE(std::filesystem::exists(path)) << name;
        EXPECT_GT(std::filesystem::file_size(path), 0u);
    }
    EXPECT_TRUE(SentWithCode(0x1B).empty()) << "no daily archive in protocol 2";
    EXPECT_FALSE(SentWithCode(0x42).empty());
    EXPECT_EQ(Hardware("Type"), DecodeText(sign.type));
    TArchive archive;
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(reader.ReadProfile(setup.profile, params, items, groups));
    const TParamItem& firstHourly = *std::find_if(items.begin(), items.end(), [](const TParamItem& i) { return i.HourIndex() >= 0; });
    const auto times = StoredTimes(firstHourly.ShortName(), setup.start, Stamp(kClock), archive);
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.front(), uint32_t(setup.start));
    EXPECT_EQ(times.back(), uint32_t(Stamp("2026-05-31 23:00:00")));
    EXPECT_EQ(times.size(), 7u * 24);
}

// Read-outs that end early, with the result and what must (not) have been sent.
TEST_F(ReadoutTest, ResultsOfFailedReadOuts) {
    struct Case {
        const char* name;
        QStringList simArgs;
        std::function<void(TReadOutInput&)> tweak;
        std::string cancelAt;
        TxResult expected;
        std::size_t clockRequests;
        bool nameplateSent;
    };
    const Case cases[] = {
        {"profile version 3", {}, [](TReadOutInput& i) { i.profile.profileByte = 3; }, "", TxResult::ProtocolNotInProgram, 0, false},
        {"clock 2003-02-29", {"--bad-clock"}, {}, "", TxResult::BadTime, 1, false},
        {"device of the other version", {"--protocol", "2"}, {}, "", TxResult::ProtocolNotInDevice, 1, false},
        {"every reply corrupted", {"--corrupt-crc", "1"}, {}, "", TxResult::BadFrame, 2, false},
        {"no reply", {"--silence", "1"}, {}, "", TxResult::NoReply, 2, false},
        {"cancel during the nameplate", {}, {}, "Odczyt tabliczki znamionowej", TxResult::Cancelled, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadSetup setup;
        setup.simArgs = c.simArgs;
        setup.tweak = c.tweak;
        setup.cancelAt = c.cancelAt;
        EXPECT_EQ(Read(setup), c.expected);
        EXPECT_EQ(SentWithCode(0x4B).size(), c.clockRequests);
        EXPECT_EQ(SentWithCode(0x00).size(), c.nameplateSent ? 1u : 0u);
        EXPECT_TRUE(SentWithCode(0x0A).empty());
        EXPECT_FALSE(std::filesystem::exists(FccFileName(data, kAddress)));
        EXPECT_FALSE(HasEvent("status: Odczyt zakończony"));
    }
    EXPECT_TRUE(HasEvent("lamp: Odbiór on"));
}

TEST_F(ReadoutTest, InvalidClockIsShownAsClockError) {
    ReadSetup setup;
    setup.simArgs = {"--bad-clock"};
    ASSERT_EQ(Read(setup), TxResult::BadTime);
    EXPECT_EQ(recorder.Clock(), "[błąd zegara w urządzeniu]");
    EXPECT_EQ(ReadOutMessage(TxResult::BadTime, sign).text, "Urządzenie zwróciło niepoprawną informację o czasie");
}

TEST_F(ReadoutTest, IdentityCheckAgainstProfileAndStationFile) {
    const int32_t none = Stamp("2026-05-31 00:00:00"); // start = end: no archive is read
    ReadSetup setup;
    setup.start = setup.end = none;
    setup.kivIni = "[CommSettings]\r\nEventsMaxNumber=0\r\n";
    setup.simArgs = {"--serial", "AB123"};
    setup.tweak = [](TReadOutInput& i) {
        i.profile.texts[1] = " kiv MET ";
        i.profile.texts[2] = "km - 100";
        i.profile.texts[3] = "ab123";
    };
    EXPECT_EQ(Read(setup), TxResult::WrongProfile) << "the serial number must match exactly";
    EXPECT_EQ(Hardware("SerialNumber"), "AB123") << "empty Hardware keys take the device's";
    EXPECT_EQ(ReadOutMessage(TxResult::WrongProfile, sign).text,
              "Urządzeniu przypisano niewłaściwy profil. Wykryte urządzenie to :\rKivmet\rKM-100\rAB123");

    std::ofstream(stationFile) << "[Main]\r\nLabel=Stacja\r\n";
    setup.tweak = [](TReadOutInput& i) {
        i.profile.texts[1] = " kiv MET ";
        i.profile.texts[2] = "km - 100";
        i.profile.texts[3] = "AB123";
    };
    EXPECT_EQ(Read(setup), TxResult::Good) << "make and type without blanks and case";
    EXPECT_EQ(Hardware("Brand"), "Kivmet");
    EXPECT_EQ(Hardware("SerialNumber"), "AB123");

    setup.simArgs = {"--serial", "XY999"};
    setup.tweak = {};
    EXPECT_EQ(Read(setup), TxResult::WrongSerial) << "another device behind the station";
    EXPECT_EQ(Hardware("SerialNumber"), "AB123");
    EXPECT_TRUE(SentWithCode(0x0A).empty());
}

TEST_F(ReadoutTest, CurrentDataIsRequestedInSteps) {
    std::vector<TParamItem> items;
    for (int n = 10; n <= 600; ++n) items.push_back(Item("p" + std::to_string(n), n, 4));
    ReadSetup setup;
    setup.profile = WriteProfile(1, items);
    setup.simArgs = {"--max-values", "100"};
    setup.kivIni = "[CommSettings]\r\nEventsMaxNumber=0\r\n";
    ASSERT_EQ(Read(setup), TxResult::Good);
    const auto requests = SentWithCode(0x0A);
    ASSERT_EQ(requests.size(), 6u);
    const int expected[][2] = {{250, 10}, {250, 110}, {250, 210}, {250, 310}, {191, 410}, {91, 510}};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i][8], expected[i][0]) << i;
        EXPECT_EQ(requests[i][9] | requests[i][10] << 8, expected[i][1]) << i;
    }
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string name;
    ASSERT_EQ(fcc.ReadCurrentData(data, kAddress, count, values, time, name), 0);
    EXPECT_EQ(count, 591u * 2);
    EXPECT_EQ(time, TimeStamp(Stamp(kClock)));
}

TEST_F(ReadoutTest, ProfileWithoutCurrentDataRequestsNoneAndWritesNoFile) {
    ReadSetup setup;
    setup.profile = WriteProfile(1, {Item("T", -1, 0, 0, 7)});
    setup.start = Stamp("2026-05-31 00:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_TRUE(SentWithCode(0x0A).empty());
    EXPECT_FALSE(std::filesystem::exists(FccFileName(data, kAddress)));
    TArchive archive;
    EXPECT_EQ(StoredTimes("T", setup.start, Stamp(kClock), archive).size(), 24u);
}

TEST_F(ReadoutTest, EventsMaxNumberLimitsTheEventRead) {
    struct Case {
        const char* setting;
        std::size_t requests;
    };
    for (const Case c : {Case{"0", 0}, Case{"900", 500}, Case{"-5", 0}, Case{"", 100}}) {
        SCOPED_TRACE(c.setting);
        ReadSetup setup;
        setup.simArgs = {"--events", "600"};
        setup.kivIni = std::string("[CommSettings]\r\nEventsMaxNumber=") + c.setting + "\r\n";
        setup.start = Stamp("2026-05-31 20:00:00");
        std::filesystem::remove(EventsFileName(data, kAddress));
        ASSERT_EQ(Read(setup), TxResult::Good);
        EXPECT_EQ(SentWithCode(0x3A).size(), c.requests);
        EXPECT_FALSE(SentWithCode(0x1A).empty()) << "archives are read all the same";
        TEventsFile events;
        EXPECT_EQ(ReadEventsFile(data, kAddress, 0, {}, events), c.requests == 0 ? -1 : int(c.requests));
    }
}

TEST_F(ReadoutTest, HourlySamplesGoToTheArchiveInBatchesOfThousand) {
    const TParamItem item = Item("Q", -1, 0, 0, 7);
    ReadSetup setup;
    setup.profile = WriteProfile(1, {item});
    setup.start = Stamp("2026-02-01 00:00:00");
    setup.end = setup.start + 2499 * 3600 - 1800; // the block holding the last sample reaches past it
    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_EQ(batches, (std::vector<std::size_t>{1000, 1000, 500}));
    EXPECT_EQ(SentWithCode(0x1A).size(), 1u);
    EXPECT_EQ(SentWithCode(0x1D).size(), 1u);
    EXPECT_EQ(SentWithCode(0xE5).size(), 9u);
    TArchive archive;
    const auto times = StoredTimes("Q", setup.start, setup.end + 3600, archive);
    ASSERT_EQ(times.size(), 2500u);
    for (std::size_t i = 0; i < times.size(); ++i) ASSERT_EQ(times[i], uint32_t(setup.start + int32_t(i) * 3600));
    EXPECT_TRUE(HasEvent("status: Odebrany blok zaczyna się: 2026-02-11 10:00, N=250"));
    EXPECT_TRUE(HasEvent("bar: 10"));
    EXPECT_EQ(recorder.Bar(), 100);
}

TEST_F(ReadoutTest, CorruptedBlockRepliesAreReadAgainFromAPosition) {
    ReadSetup setup;
    setup.profile = WriteProfile(1, {Item("Q", -1, 0, 0, 7)});
    setup.simArgs = {"--corrupt-crc", "4"}; // among them block replies, which are not asked for again
    setup.kivIni = "[CommSettings]\r\nEventsMaxNumber=0\r\n";
    setup.start = Stamp("2026-02-01 00:00:00");
    setup.end = setup.start + 2499 * 3600 - 1800;
    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_GT(SentWithCode(0x1A).size(), 2u) << "re-positioned after corrupted blocks";
    TArchive archive;
    const auto times = StoredTimes("Q", setup.start, setup.end + 3600, archive);
    ASSERT_EQ(times.size(), 2500u);
    for (std::size_t i = 0; i < times.size(); ++i) ASSERT_EQ(times[i], uint32_t(setup.start + int32_t(i) * 3600));
}

TEST_F(ReadoutTest, StoreFailureIsReportedAfterTheWholeReadOut) {
    ReadSetup setup;
    setup.start = Stamp("2026-05-31 12:00:00");
    writerFails = true;
    ASSERT_EQ(Read(setup), TxResult::NotStored);
    EXPECT_EQ(recorder.ItemStates().back(), TxCheck::Checked) << "the read-out went on to the last parameter";
    EXPECT_TRUE(HasEvent("status: Odczyt zakończony"));
    EXPECT_FALSE(ReadOutMessage(TxResult::NotStored, sign).text.empty());
}

TEST_F(ReadoutTest, DailyPositioningTwoDaysEarlyAdvancesDayByDay) {
    ReadSetup setup;
    setup.profile = WriteProfile(1, {Item("D", -1, 0, -1, 0, 0, 7)});
    setup.simArgs = {"--early-day-position"};
    setup.start = Stamp("2026-05-20 06:00:00");
    setup.end = Stamp("2026-05-25 06:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    const auto positions = SentWithCode(0x1B);
    ASSERT_EQ(positions.size(), 6u);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        EXPECT_EQ(positions[i][8], 6);
        EXPECT_EQ(positions[i][9], 20 + int(i));
    }
    EXPECT_TRUE(SentWithCode(0x1F).empty());
    EXPECT_TRUE(batches.empty());
}

TEST_F(ReadoutTest, DailyArchiveOneSamplePerBlock) {
    ReadSetup setup;
    setup.profile = WriteProfile(1, {Item("D", -1, 0, -1, 0, 0, 8)});
    setup.start = Stamp("2026-05-20 00:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    TArchive archive;
    const auto times = StoredTimes("D", setup.start, Stamp(kClock), archive);
    ASSERT_EQ(times.size(), 11u);
    EXPECT_EQ(times.front(), uint32_t(Stamp("2026-05-20 06:00:00")));
    EXPECT_EQ(times.back(), uint32_t(Stamp("2026-05-30 06:00:00")));
    for (const auto& block : SentWithCode(0x1F)) EXPECT_EQ(block[8], 1);
    std::vector<TReportSample> samples;
    archive.ReportSamples(samples);
    for (const auto& s : samples) EXPECT_EQ(s.interval, 1440);
}

// Block pointers a device cannot hold end only that parameter: one echoed
// wrong, and one at the top of the counter that could not be stepped past.
TEST_F(ReadoutTest, ImpossibleBlockPointersEndOnlyThatParameter) {
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(reader.ReadProfile(kProgramDir + "KM200.FCP", params, items, groups));
    const auto hourly =
        std::size_t(std::count_if(items.begin(), items.end(), [](const TParamItem& i) { return i.HourIndex() >= 0; }));
    struct Case {
        QStringList simArgs;
        std::size_t blockRequests;
    };
    // The sample asked for lies about 3816 places into the ring (160 days back from the clock).
    for (const Case& c : {Case{{"--bad-pointer-echo"}, hourly}, Case{{"--pointer-base", "2147479731"}, 0},
                          Case{{"--pointer-base", "2147483600"}, 0}}) {
        SCOPED_TRACE(c.simArgs.join(" ").toStdString());
        batches.clear();
        ReadSetup setup;
        setup.profile = kProgramDir + "KM200.FCP";
        setup.simArgs = c.simArgs;
        setup.start = Stamp("2026-05-31 00:00:00");
        ASSERT_EQ(Read(setup), TxResult::Good);
        EXPECT_EQ(SentWithCode(0x41).size(), hourly) << "every parameter is still positioned";
        EXPECT_EQ(SentWithCode(0x42).size(), c.blockRequests);
        EXPECT_TRUE(batches.empty());
    }
}

TEST_F(ReadoutTest, FilterNoSkipsTheParameter) {
    ReadSetup setup;
    setup.station = "[TxFilter]\r\ndVn=NO\r\n";
    setup.start = Stamp("2026-05-31 12:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    for (const auto& frame : Sent()) {
        if (frame[7] != 0x1D && frame[7] != 0x1F) continue;
        const int index = frame[9] | frame[10] << 8;
        EXPECT_NE(index, 2);
        EXPECT_NE(index, 3);
    }
    EXPECT_EQ(recorder.ItemStates()[2], TxCheck::Grayed);
    EXPECT_EQ(recorder.ItemStates()[4], TxCheck::Checked);
}

TEST_F(ReadoutTest, ConditionPairDecidesFromTheCurrentData) {
    auto archived = [](const std::string& name, int32_t hour, int32_t first, int32_t second) {
        TParamItem item = Item(name, -1, 0, hour, 7);
        item.SetCondFirst(first);
        item.SetCondSecond(second);
        return item;
    };
    ReadSetup setup;
    setup.profile = WriteProfile(1, {Item("F1", 0, 7), Item("F2", 1, 7), Item("I1", 2, 4), Item("I2", 3, 4),
                                     archived("A", 0, 0, 1), archived("B", 1, 2, 3), archived("C", 2, 0, 9)});
    setup.start = Stamp("2026-05-31 20:00:00");
    ASSERT_EQ(Read(setup), TxResult::Good);
    EXPECT_EQ(recorder.ItemStates(), (std::vector<TxCheck>{TxCheck::Checked, TxCheck::Checked, TxCheck::Grayed,
                                                           TxCheck::Grayed}))
        << "floats that differ are read; integers read as 0 never differ; a number outside the list is invalid";
    for (const auto& frame : SentWithCode(0x1D)) EXPECT_EQ(frame[9], 0);
}

// kiv-cli read in a working folder: settings of the station file, options
// overriding them, progress lines, the result message and the exit code.
TEST_F(ReadoutTest, CommandLineReadsAStation) {
    struct Case {
        const char* name;
        QStringList simArgs;
        QStringList options;
        int exitCode;
        const char* line;
    };
    const Case cases[] = {
        {"complete", {}, {"--from", "2026-05-31 12:00:00", "--attempts", "1"}, 0, "status: Odczyt zakończony"},
        {"bad clock", {"--bad-clock"}, {}, 7, "Wynik 7: Urządzenie zwróciło niepoprawną informację o czasie"},
        {"malformed option", {}, {"--block", "300"}, 64, ""},
    };
    std::ofstream(stationFile) << "[Main]\r\nLabel=Stacja\r\n[Hardware]\r\nDeviceProfile=KM100.FCP\r\n"
                                  "[Communication]\r\nComNumber=COM4\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Simulator sim;
        ASSERT_TRUE(sim.Start(kProgramDir + "KM100.FCP", c.simArgs, false));
        std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM2=" << sim.Port() << "\r\n[CommSettings]\r\nEventsMaxNumber=3\r\n";
        std::filesystem::remove(root + "Tx.log");
        QProcess cli;
        cli.setWorkingDirectory(dir.path());
        cli.start(QString::fromStdString(kProgramDir + "kiv-cli"),
                  QStringList{"read", QString::fromStdString(data), QString::number(kAddress), "--port", "COM2", "--log",
                              QString::fromStdString(root + "Tx.log")} + c.options);
        ASSERT_TRUE(cli.waitForFinished(60000));
        const std::string out = cli.readAllStandardOutput().toStdString();
        EXPECT_EQ(cli.exitCode(), c.exitCode) << out;
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
        EXPECT_EQ(out.find("lamp:"), std::string::npos);
        EXPECT_EQ(SentWithCode(0x4B).size(), c.exitCode == 64 ? 0u : 1u) << "the log option";
    }
    EXPECT_EQ(Hardware("Brand"), "Kivmet");
}

// Ctrl+C or SIGTERM during the archive read-out: kiv-cli ends with 14, closes
// the port, and what reached the data folder is whole (no temporary file left,
// every month file opens) and shows up in the summary.
TEST_F(ReadoutTest, CommandLineStopsCleanlyOnASignal) {
    const auto blocks = [](const std::string& text) {
        std::size_t count = 0;
        for (auto at = text.find("Odebrany blok"); at != std::string::npos; at = text.find("Odebrany blok", at + 1))
            ++count;
        return count;
    };
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove_all(StationFolderPath(data, kAddress) + "/");
        std::filesystem::create_directories(StationFolderPath(data, kAddress));
        std::ofstream(stationFile) << "[Main]\r\nLabel=Stacja\r\n[Hardware]\r\nDeviceProfile=KM100.FCP\r\n"
                                      "[Communication]\r\nComNumber=COM2\r\nArcSamplesPerBlock=10\r\n";
        Simulator sim;
        ASSERT_TRUE(sim.Start(kProgramDir + "KM100.FCP", {"--baud", "9600"}, false));
        std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM2=" << sim.Port() << "\r\n";
        QProcess cli;
        cli.setWorkingDirectory(dir.path());
        cli.start(QString::fromStdString(kProgramDir + "kiv-cli"),
                  QStringList{"read", QString::fromStdString(data), QString::number(kAddress), "--from",
                              "2026-05-01 00:00:00"});
        std::string out;
        while (blocks(out) < 2) {
            ASSERT_TRUE(cli.waitForReadyRead(20000)) << out;
            out += cli.readAllStandardOutput().toStdString();
        }
        ::kill(static_cast<pid_t>(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(20000));
        out += cli.readAllStandardOutput().toStdString();
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), 14) << out;
        EXPECT_NE(out.find("connection: Port zamknięty"), std::string::npos) << out;
        EXPECT_NE(out.find("Wynik 14: Odczyt przerwany"), std::string::npos) << out;
        EXPECT_NE(out.find("Nowe próbki: Vn "), std::string::npos) << "the samples read before the signal" << out;
        std::size_t months = 0;
        for (const auto& entry : std::filesystem::directory_iterator(StationFolderPath(data, kAddress))) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
            if (entry.path().extension() != ".FCD") continue;
            ++months;
            TArchive archive;
            TimeStamp from = 0, to = 0xFFFFFFFEu;
            const std::string channel = name.substr(name.rfind('_') + 1, name.size() - 4 - name.rfind('_') - 1);
            EXPECT_EQ(archive.OpenPeriod(data, kAddress, from, to, channel), 0) << name;
        }
        EXPECT_GE(months, 1u);
    }
}

// The request routine on its own: repeats, lenient kinds, attempts 0.
TEST_F(ReadoutTest, RequestRepeatsAndLenientKinds) {
    App();
    Simulator sim;
    ASSERT_TRUE(sim.Start(kProgramDir + "KM100.FCP", {"--corrupt-crc", "1"}, false));
    std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM1=" << sim.Port() << "\r\n";
    TFCommModule module;
    module.SetProgress(&recorder);
    module.SetSettingsFile(root + "Kiv.ini");
    ASSERT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM1"; link.baud = 115200; link.parity = "None"; link.charTimeout = 300; link.answerTimeout = 1000; })));
    TReadLink link{module, recorder, &stats};
    struct Case {
        uint8_t kind;
        int32_t attempts;
        TxResult expected;
        long sent;
    };
    for (const Case c : {Case{7, 3, TxResult::BadFrame, 3}, Case{3, 3, TxResult::LenientNoise, 1}, Case{22, 4, TxResult::LenientNoise, 1},
                         Case{5, 2, TxResult::LenientNoise, 1}, Case{0, 0, TxResult::BadFrame, 1}}) {
        TRequestArgs args;
        args.kind = c.kind;
        args.deviceAddress = kAddress;
        args.attempts = c.attempts;
        args.count8 = 1;
        std::vector<uint8_t> reply{1};
        stats = {};
        EXPECT_EQ(DeviceRequest(link, args, reply), c.expected) << int(c.kind);
        EXPECT_EQ(stats.requests, c.sent) << int(c.kind);
        EXPECT_TRUE(reply.empty());
    }
    module.ClosePort();
}

TEST(RequestData, KindsCarryTheirFields) {
    TRequestArgs args;
    args.count8 = 250;
    args.index16 = 0x1234;
    args.value32 = 0x01020304;
    args.time = static_cast<int32_t>(EncodeTime({2026, 5, 31, 6, 7, 8}));
    const std::vector<std::pair<uint8_t, std::vector<uint8_t>>> cases = {
        {7, {}},
        {22, {}},
        {1, {250, 0x34, 0x12}},
        {17, {250, 0x34, 0x12, 4, 3, 2, 1}},
        {2, {7, 6, 31, 5, 26}},
        {4, {6, 31, 5, 26}},
        {8, {8, 7, 6, 31, 5, 26}},
    };
    for (const auto& [kind, bytes] : cases) {
        args.kind = kind;
        EXPECT_EQ(RequestData(args), bytes) << int(kind);
    }
}

TEST(WireTime, CalendarFieldsAreChecked) {
    const uint8_t good[6] = {5, 4, 3, 29, 2, 24};
    EXPECT_EQ(WireToTime(good, 6), int32_t(EncodeTime({2024, 2, 29, 3, 4, 5})));
    const uint8_t leapless[6] = {0, 0, 12, 29, 2, 3};
    EXPECT_EQ(WireToTime(leapless, 6), -1);
    const uint8_t badHour[4] = {24, 1, 1, 26};
    EXPECT_EQ(WireToTime(badHour, 4), -1);
    const uint8_t nineties[5] = {59, 23, 31, 12, 99};
    EXPECT_EQ(WireToTime(nineties, 5), int32_t(EncodeTime({1999, 12, 31, 23, 59, 0})));
    EXPECT_EQ(ClockLine(int32_t(EncodeTime({2026, 1, 2, 3, 4, 5})), EncodeTime({2026, 1, 2, 3, 4, 0})),
              "2026-01-02 03:04:05 [system +5 sek]");
    EXPECT_EQ(ClockLine(0, 10), "1970-01-01 00:00:00 [system -10 sek]");
    EXPECT_EQ(ClockLine(-1, 0), "[błąd zegara w urządzeniu]");
}

} // namespace
} // namespace kiv
