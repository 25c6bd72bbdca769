// The serial reader over a pseudo-terminal: bytes per second flat out, and CPU use at 4800 baud.
#include <atomic>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <arpa/inet.h>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>

#include <benchmark/benchmark.h>

#include "CSio.h"
#include "NetSource.h"
#include "gps/NmeaLog.h"
#include "gps/SentenceMailbox.h"
#include "gps/SerialReader.h"
#include "gps/StreamLines.h"

namespace {

using namespace varno;

const std::string kBlock = "$GPGGA,122518.000,5123.0366,N,00119.1139,W,1,08,0.9,100.0,M,47.0,M,,*6A\r\n"
                           "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n"
                           "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B\r\n";

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Rig {
    int master = -1, slave = -1;
    platform::CSio port;
    gps::SentenceMailbox mailbox;
    gps::NmeaLog log;
    gps::SerialReader reader{port, mailbox, log};

    Rig()
    {
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        port.open(name);
        port.applyState({4800, 8, gps::Parity::None, gps::StopBits::One});
        port.setReadTimeout(std::chrono::milliseconds(2000));
        ::close(slave);
        // The view takes every sentence at once, as a fast repaint would.
        reader.setCallbacks({[this] { mailbox.take(); }, {}});
        reader.start(name);
    }
    ~Rig()
    {
        reader.stop();
        port.close();
        if (master >= 0)
            ::close(master);
    }
    void writeAll(const std::string& s) const
    {
        std::size_t done = 0;
        while (done < s.size()) {
            const ssize_t n = ::write(master, s.data() + done, s.size() - done);
            if (n > 0)
                done += std::size_t(n);
            else {
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }
};

// Bytes per second the reader keeps up with: the pseudo-terminal is written
// as fast as it takes them. 115200 baud is 11520 bytes/s.
void BM_ReaderThroughput(benchmark::State& state)
{
    Rig rig;
    std::string chunk;
    while (chunk.size() < 64 * 1024)
        chunk += kBlock;
    for (auto _ : state) {
        const std::uint64_t target = rig.reader.stats().bytes + chunk.size();
        rig.writeAll(chunk);
        while (rig.reader.stats().bytes < target)
            std::this_thread::yield();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(chunk.size()));
    state.counters["x115200"] = benchmark::Counter(
        double(state.iterations()) * double(chunk.size()) / 11520.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReaderThroughput)->UseRealTime()->Unit(benchmark::kMillisecond);

// CPU used while a 4800-baud receiver talks: ~480 bytes a second written in
// small paced pieces for three seconds. Reported as percent of one core for
// the whole process (the pacing writer included, so an upper bound).
void BM_ReaderCpuAt4800Baud(benchmark::State& state)
{
    Rig rig;
    std::string stream;
    while (stream.size() < 1440)
        stream += kBlock;
    stream.resize(1440);
    double cpuPercent = 0;
    for (auto _ : state) {
        const double cpu0 = processCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        // 24 bytes every 50 ms = 480 bytes/s.
        for (std::size_t i = 0; i < stream.size(); i += 24) {
            rig.writeAll(stream.substr(i, 24));
            std::this_thread::sleep_until(t0 + std::chrono::milliseconds(50 * (i / 24 + 1)));
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpuPercent = 100.0 * (processCpuSeconds() - cpu0) / wall;
    }
    state.counters["cpu_percent"] = cpuPercent;
}
BENCHMARK(BM_ReaderCpuAt4800Baud)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

// The gpsd line filter over what gpsd sends with NMEA on: JSON replies and CR LF sentences,
// in socket-sized chunks. Bytes per second of input.
void BM_GpsdLineFilter(benchmark::State& state)
{
    std::string stream;
    while (stream.size() < (1u << 20)) {
        stream += "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\"}]}\n";
        for (int i = 0; i < 20; ++i)
            stream += "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B\r\n";
    }
    varno::gps::StreamLines lines(varno::gps::StreamLines::Mode::Gpsd);
    std::string out;
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += 4096) {
            out.clear();
            lines.feed(std::string_view(stream).substr(at, 4096), out);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_GpsdLineFilter)->Unit(benchmark::kMillisecond);

// From a sentence leaving a gpsd-like server on the loopback to the mailbox
// having it: the wait in poll, the line filter and the reader, one round
// trip per iteration (the real time is the latency).
void BM_GpsdToMailboxLatency(benchmark::State& state)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    platform::NetSource source;
    gps::SentenceMailbox mailbox;
    gps::NmeaLog log;
    gps::SerialReader reader(source, mailbox, log);
    std::mutex m;
    std::condition_variable cv;
    bool arrived = false;
    reader.setCallbacks({[&] {
                             mailbox.take();
                             std::lock_guard lock(m);
                             arrived = true;
                             cv.notify_one();
                         },
                         {}});
    if (!source.open("gpsd://127.0.0.1:" + std::to_string(ntohs(a.sin_port)))) {
        state.SkipWithError("no connection");
        return;
    }
    const int peer = ::accept(listener, nullptr, nullptr);
    reader.start("gpsd");
    const std::string rmc = "$GPRMC,122517.0,A,5123.03664,N,00119.11388,W,000.0,226.6,170606,05.7,W,A*3B\r\n";
    for (auto _ : state) {
        std::unique_lock lock(m);
        arrived = false;
        (void)::send(peer, rmc.data(), rmc.size(), MSG_NOSIGNAL);
        cv.wait(lock, [&] { return arrived; });
    }
    reader.stop();
    ::close(peer);
    ::close(listener);
}
BENCHMARK(BM_GpsdToMailboxLatency)->UseRealTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
