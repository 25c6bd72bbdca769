// Fuzz target: the reader's line assembly over receiver bytes, and the port settings texts.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "gps/GpsControl.h"
#include "gps/HandOffFilter.h"
#include "gps/PortList.h"
#include "gps/SerialReader.h"

namespace {

using namespace varno::gps;

// Hands the input over in pieces of a size the input chooses, then goes away.
class ScriptPort final : public SerialPort {
public:
    ScriptPort(std::string_view data, std::size_t piece) : data_(data), piece_(piece ? piece : 1) {}
    bool open(const std::string&) override { return true; }
    bool isOpen() const override { return true; }
    std::optional<LineSettings> state() override { return LineSettings{}; }
    bool applyState(const LineSettings&) override { return true; }
    bool setReadTimeout(std::chrono::milliseconds) override { return true; }
    void clearErrors() override {}
    ReadResult read(std::span<char> buffer) override
    {
        if (data_.empty())
            return {ReadStatus::Gone, 0};
        const std::size_t n = std::min({piece_, buffer.size(), data_.size()});
        data_.copy(buffer.data(), n);
        data_.remove_prefix(n);
        return {ReadStatus::Data, n};
    }
    void interruptRead() override {}
    bool write(std::string_view) override { return true; }
    bool close() override { return true; }

private:
    std::string_view data_;
    std::size_t piece_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t piece = size ? std::size_t(data[0]) + 1 : 1;

    ScriptPort port(all, piece);
    SentenceMailbox mailbox;
    NmeaLog log; // closed: lines are dropped
    SerialReader reader(port, mailbox, log);
    std::string sentences;
    reader.setCallbacks({[&] {
                             auto s = mailbox.take();
                             if (!s || s->size() > SerialReader::kMaxLine || !passesHandOffFilter(*s))
                                 std::abort();
                         },
                         {}});
    reader.start("fuzz");
    while (reader.running())
        std::this_thread::yield();
    reader.stop();
    if (reader.stats().bytes != size)
        std::abort();

    // The stored port texts: the first line as a port name, the next four as
    // Speed, StopBits, Parity and DataBits.
    std::string_view rest = all;
    std::optional<std::string> texts[5];
    for (auto& t : texts) {
        const std::size_t nl = rest.find('\n');
        t = std::string(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
    }
    if (auto path = devicePathForPort(*texts[0]); path && path->empty())
        std::abort();
    const LineSettings s = mapStoredLineSettings(LineSettings{}, texts[1], texts[2], texts[3], texts[4]);
    if (s.dataBits < 5 || s.dataBits > 8)
        std::abort();
    return 0;
}
