// What the gpsd source adds to a sentence's way: a real gpsd fed by gpsfake at 10 sentences a second,
// read at once by VARNO's source (to the mailbox) and by a bare socket client asking gpsd for the same
// NMEA. gpsd writes each sentence to both; the difference of the two arrival times is the time VARNO's
// reader takes. Reported as the median, 90th percentile and largest over the sentences both saw.
// Skipped when gpsd or gpsfake is not installed.
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "SourcePort.h"
#include "base/Prompt.h"
#include "gps/GpsControl.h"
#include "gps/NmeaLog.h"
#include "support/Gpsfake.h"
#include "gps/SentenceMailbox.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

extern char** environ;

namespace {

using namespace varno;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::uint16_t freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

// Arrival times of each sentence text, in order.
struct Arrivals {
    std::mutex m;
    std::map<std::string, std::vector<Clock::time_point>> at;
    Clock::time_point last = Clock::now();
    void add(const std::string& s)
    {
        std::lock_guard lock(m);
        at[s].push_back(Clock::now());
        last = Clock::now();
    }
};

// A bare client: asks gpsd for NMEA and notes when each line arrives.
void bareClient(std::uint16_t port, Arrivals& arrivals, const std::atomic<bool>& stop)
{
    int s = -1;
    while (!stop) {
        s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0)
            break;
        ::close(s);
        s = -1;
        std::this_thread::sleep_for(50ms);
    }
    if (s < 0)
        return;
    const std::string watch = "?WATCH={\"enable\":true,\"nmea\":true}\n";
    (void)::write(s, watch.data(), watch.size());
    timeval tv{0, 200000};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string pending;
    char buf[4096];
    while (!stop) {
        const ssize_t n = ::read(s, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0)
            continue;
        pending.append(buf, static_cast<std::size_t>(n));
        for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line[0] == '$')
                arrivals.add(line);
        }
    }
    ::close(s);
}

void BM_GpsdSourceLatency10Hz(benchmark::State& state)
{
    const std::string log = std::string(VARNO_CORPUS_DIR) + "/nmea/gpsd/bt451.log";
    if (!fs::exists(varno::test::Gpsfake::kProgram) || !fs::exists("/usr/sbin/gpsd") || !fs::exists(log)) {
        state.SkipWithError("gpsfake, gpsd or the corpus log is not here");
        return;
    }
    std::vector<double> latencies;
    for (auto _ : state) {
        const std::uint16_t port = freePort();
        const std::string portText = std::to_string(port);
        varno::test::Gpsfake gpsfake(port, "0.1", log);
        if (!gpsfake.started()) {
            state.SkipWithError("gpsfake did not start");
            return;
        }

        Arrivals bare, varno;
        std::atomic<bool> stop{false};
        std::thread client(bareClient, port, std::ref(bare), std::cref(stop));

        const fs::path dir = fs::temp_directory_path() / ("varno-bench-gpsd-" + portText);
        fs::create_directories(dir);
        settings::SettingsStore store((dir / "none.reg").string());
        SilentPrompt prompt;
        settings::Settings settings(store, prompt);
        platform::SourcePort source;
        gps::SentenceMailbox mailbox;
        gps::NmeaLog nmeaLog;
        gps::GpsControl gps(source, mailbox, nmeaLog, prompt, settings,
                            {[](std::chrono::milliseconds) {}, {}, {}});
        gps.setReaderCallbacks({[&] {
                                    if (auto s = mailbox.take())
                                        varno.add(*s);
                                },
                                {},
                                {},
                                {},
                                {}});
        gps.portOverride = "gpsd://127.0.0.1:" + portText;
        for (int i = 0; i < 100 && !gps.reader().running(); ++i) { // gpsd takes a moment to listen
            std::this_thread::sleep_for(100ms);
            gps.StopGps();
            gps.StartGps();
        }
        // The log takes about 16 s at 10 a second; then nothing more comes.
        const auto giveUp = Clock::now() + 60s;
        while (Clock::now() < giveUp) {
            std::this_thread::sleep_for(100ms);
            std::lock_guard lock(varno.m);
            if (!varno.at.empty() && Clock::now() - varno.last > 2s)
                break;
        }
        gps.StopGps();
        stop = true;
        client.join();
        gpsfake.end();
        std::error_code ec;
        fs::remove_all(dir, ec);

        // Sentences that came once to each reader.
        for (const auto& [text, times] : varno.at) {
            const auto b = bare.at.find(text);
            if (times.size() == 1 && b != bare.at.end() && b->second.size() == 1)
                latencies.push_back(
                    std::chrono::duration<double, std::micro>(times[0] - b->second[0]).count());
        }
    }
    if (latencies.empty()) {
        state.SkipWithError("no sentence reached both readers");
        return;
    }
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) { return latencies[static_cast<std::size_t>(q * double(latencies.size() - 1))]; };
    state.counters["sentences"] = static_cast<double>(latencies.size());
    state.counters["median_us"] = at(0.5);
    state.counters["p90_us"] = at(0.9);
    state.counters["max_us"] = latencies.back();
}
BENCHMARK(BM_GpsdSourceLatency10Hz)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
