#include "demo_plan.h"

namespace kiv::demo {
namespace {

constexpr TimeStamp kDay = 86400;
constexpr TimeStamp kHour = 3600;

StationPlan Station(int address, std::string label, std::string group, std::string profile, Usage usage,
                    double baseFlow, double pressure) {
    StationPlan s;
    s.address = address;
    s.label = std::move(label);
    s.group = std::move(group);
    s.profileFile = std::move(profile);
    s.usage = usage;
    s.baseFlow = baseFlow;
    s.pressure = pressure;
    s.comNumber = "COM" + std::to_string(address);
    if (!s.profileFile.empty())
        s.serial = (s.profileFile == "KM100.FCP" ? "KM1-" : "KM2-") +
                   std::string(address < 10 ? "0000" : "000") + std::to_string(address);
    return s;
}

// A moment `share` of the way through the span, moved to the given hour of that day.
TimeStamp At(TimeStamp from, TimeStamp until, double share, int hour) {
    const auto days = static_cast<TimeStamp>((until - from) / kDay);
    const auto day = static_cast<TimeStamp>(static_cast<double>(days) * share);
    return from + day * kDay + static_cast<TimeStamp>(hour) * kHour;
}

} // namespace

DemoPlan MakePlan(TimeStamp from, TimeStamp until) {
    const std::string north = "Sieć Północ";
    const std::string south = "Sieć Południe";
    const std::string industry = "Odbiorcy przemysłowi";
    DemoPlan plan;
    auto &s = plan.stations;
    s.push_back(Station(1, "Rozdzielnia Centrum", north, "KM100.FCP", Usage::Heating, 180.0, 4.0));
    s.push_back(Station(2, "Stacja Lipowa", north, "KM100.FCP", Usage::Households, 45.0, 1.1));
    s.push_back(Station(3, "Stacja Brzozowa", north, "KM200.FCP", Usage::Households, 60.0, 1.1));
    s.push_back(Station(4, "Osiedle Słoneczne", north, "KM100.FCP", Usage::Heating, 95.0, 1.3));
    s.push_back(Station(5, "Piekarnia Kłos", south, "KM200.FCP", Usage::Bakery, 25.0, 1.2));
    s.push_back(Station(6, "Szkoła nr 3", south, "KM100.FCP", Usage::Heating, 30.0, 1.1));
    s.push_back(Station(7, "Ciepłownia Miejska", south, "KM200.FCP", Usage::Heating, 420.0, 5.5));
    s.push_back(Station(8, "Zakład Mleczarski", industry, "KM200.FCP", Usage::Industry, 210.0, 3.0));
    s.push_back(Station(9, "Huta Szkła", industry, "KM100.FCP", Usage::Industry, 650.0, 6.0));
    s.push_back(Station(10, "Odlewnia Żeliwa", industry, "KM200.FCP", Usage::Industry, 380.0, 4.5));
    s.push_back(Station(11, "Magazyn Portowy", "", "KM100.FCP", Usage::Heating, 20.0, 1.1));
    s.push_back(Station(12, "Stacja rezerwowa", south, "", Usage::Households, 0.0, 0.0));

    s[3].telephone = "0523456789";
    s[3].modemProfile = DemoModem().name;
    s[5].telephone = "0587654321";
    s[4].intervalMinutes = 15;
    for (int i : {7, 8, 9})
        s[static_cast<std::size_t>(i)].hasDpSensor = true;
    s[0].tariffSet = "Taryfa W-5.1";
    s[6].tariffSet = "Taryfa W-6A.1";
    s[8].tariffSet = "Taryfa W-6A.1";

    // A day and a half missing from a corrector with hourly counters (its
    // counter readings of those hours are gone too, so the reports lack a
    // day-end reading), and most of a day missing between two daily counter
    // readings of another (the readings then disagree with the increments).
    const TimeStamp gapStart = At(from, until, 0.42, 9);
    plan.gaps.push_back({7, gapStart, gapStart + 30 * kHour});
    const TimeStamp gap2Start = At(from, until, 0.71, 1);
    plan.gaps.push_back({11, gap2Start, gap2Start + 19 * kHour});
    const TimeStamp invalidStart = At(from, until, 0.63, 10);
    plan.invalids.push_back({9, invalidStart, invalidStart + 4 * kHour});
    plan.jumps.push_back({3, "Vn", At(from, until, 0.55, 14), 5000.0});
    return plan;
}

const StationPlan *Com1Station(const DemoPlan &plan) {
    for (const StationPlan &s : plan.stations)
        if (s.comNumber == "COM1" && !s.profileFile.empty())
            return &s;
    return nullptr;
}

std::vector<VirtualPlan> VirtualStations() {
    return {{"Suma Sieć Północ", "+00001+00002+00003+00004", "600", "Taryfa W-5.1"},
            {"Bilans Rozdzielni Centrum", "+00001-00002-00004", "150", ""}};
}

std::vector<std::string> TariffSetEntries() {
    return {"Taryfa W-5.1@0.1843@0.0987@0.0912@1.2645@412.50",
            "Taryfa W-6A.1@0.2231@0.0854@0.0801@1.2310@885.00"};
}

ModemPlan DemoModem() {
    return {"Modem GSM", "COM5", 9600, "AT&F E0 V1 X3"};
}

} // namespace kiv::demo
