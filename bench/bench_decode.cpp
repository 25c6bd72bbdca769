// Decode throughput: a generated 1,000,000-line receiver log through the intake; the time text per fix.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fmt/printf.h>

#include "gps/CNmeaDecoder.h"
#include "gps/Intake.h"
#include "gps/Presentation.h"

namespace {

constexpr std::size_t kLines = 1000000;

std::string withChecksum(const std::string& body)
{
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    return fmt::sprintf("$%s*%02X", body, sum);
}

// One second of a typical receiver: GGA, RMC, GSA and three GSV, the position
// drifting north-east and the clock running, so no two seconds are identical.
const std::vector<std::string>& receiverLog()
{
    static const std::vector<std::string> log = [] {
        std::vector<std::string> lines;
        lines.reserve(kLines);
        for (unsigned t = 0; lines.size() < kLines; ++t) {
            const unsigned h = (t / 3600) % 24, m = (t / 60) % 60, s = t % 60;
            const double latMin = 23.0 + (t % 6000) * 0.0005, lonMin = 19.0 + (t % 6000) * 0.0007;
            const double alt = 100.0 + (t % 200) * 0.1, speed = 20.0 + (t % 50) * 0.3;
            lines.push_back(withChecksum(
                fmt::sprintf("GPGGA,%02u%02u%02u.00,51%07.4f,N,001%07.4f,W,1,09,0.9,%.1f,M,47.0,M,,", h, m, s,
                             latMin, lonMin, alt)));
            lines.push_back(withChecksum(
                fmt::sprintf("GPRMC,%02u%02u%02u.00,A,51%07.4f,N,001%07.4f,W,%05.1f,%05.1f,170606,003.1,W,A",
                             h, m, s, latMin, lonMin, speed, (t % 360) * 1.0)));
            lines.push_back(withChecksum("GPGSA,A,3,04,05,09,12,14,17,22,24,25,,,,1.8,0.9,1.5"));
            lines.push_back(withChecksum("GPGSV,3,1,11,04,40,083,46,05,17,308,41,09,07,344,39,12,22,228,45"));
            lines.push_back(withChecksum("GPGSV,3,2,11,14,71,118,44,17,12,300,38,22,05,020,30,24,33,150,42"));
            lines.push_back(withChecksum("GPGSV,3,3,11,25,61,045,47,31,10,270,,32,02,199,"));
        }
        lines.resize(kLines);
        return lines;
    }();
    return log;
}

void BM_DecodeLog(benchmark::State& state)
{
    const std::vector<std::string>& log = receiverLog();
    for (auto _ : state) {
        varno::gps::CNmeaDecoder dec;
        std::size_t decoded = 0;
        for (const std::string& line : log)
            decoded += varno::gps::intakeSentence(dec, line);
        benchmark::DoNotOptimize(decoded);
        benchmark::DoNotOptimize(dec.Latitude);
        if (decoded != log.size())
            state.SkipWithError("a generated sentence failed its checksum");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
    state.counters["sentences/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(log.size()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeLog)->Unit(benchmark::kMillisecond);

// The time of day a view shows for one fix: a fixed zone against the system's
// (TZ=Europe/Amsterdam, summer time from the fix's date), side by side.
void BM_TimeText(benchmark::State& state)
{
    setenv("TZ", "Europe/Amsterdam", 1);
    const varno::TimeZone zone = state.range(0) ? varno::TimeZone::system() : varno::TimeZone(1);
    varno::gps::Fix fix;
    fix.yearUtc = 2018, fix.monthUtc = 8, fix.dayUtc = 20, fix.hourUtc = 9, fix.minuteUtc = 47;
    for (auto _ : state) {
        fix.secondUtc = static_cast<std::uint8_t>((fix.secondUtc + 1) % 60);
        benchmark::DoNotOptimize(varno::gps::timeText(fix, zone));
    }
    state.SetLabel(state.range(0) ? "System" : "+1");
}
BENCHMARK(BM_TimeText)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
