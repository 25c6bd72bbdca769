// Start and Stop of the GPS: opening the port from the settings, running the reader.
#include "gps/GpsControl.h"

#include <thread>

#include "base/Numbers.h"
#include "base/AsciiCase.h"
#include "gps/SourceName.h"

namespace varno::gps {
namespace {

// Clears the busy indication however the open ends.
class BusyScope {
public:
    BusyScope(const std::function<void(bool, const std::string&)>& hook, const std::string& port)
        : hook_(hook), port_(port)
    {
        if (hook_)
            hook_(true, port_);
    }
    ~BusyScope()
    {
        if (hook_)
            hook_(false, port_);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    const std::function<void(bool, const std::string&)>& hook_;
    const std::string& port_;
};

} // namespace

LineSettings mapStoredLineSettings(LineSettings current, const std::optional<std::string>& speed,
                                   const std::optional<std::string>& stopBits,
                                   const std::optional<std::string>& parity,
                                   const std::optional<std::string>& dataBits)
{
    LineSettings s = current;
    if (speed) {
        // A text without a number (or a negative one) gives 0, which no port
        // accepts: the open then stops with the SetCommState message.
        const int baud = leadingInt(*speed);
        s.baud = baud > 0 ? unsigned(baud) : 0u;
    }
    if (stopBits)
        s.stopBits = *stopBits == "1.5" ? StopBits::OneAndHalf
                     : *stopBits == "2" ? StopBits::Two
                                        : StopBits::One;
    if (parity) {
        if (equalsNoCase(*parity, "None"))
            s.parity = Parity::None;
        else if (equalsNoCase(*parity, "Odd"))
            s.parity = Parity::Odd;
        else if (equalsNoCase(*parity, "Even"))
            s.parity = Parity::Even;
        else if (equalsNoCase(*parity, "Mark"))
            s.parity = Parity::Mark;
        else if (equalsNoCase(*parity, "Space"))
            s.parity = Parity::Space;
    }
    if (dataBits)
        s.dataBits = *dataBits == "5" ? 5 : *dataBits == "6" ? 6 : *dataBits == "7" ? 7 : 8;
    return s;
}

GpsControl::GpsControl(SerialPort& port, SentenceMailbox& mailbox, NmeaLog& log, Prompt& prompt,
                       settings::Settings& settings, Hooks hooks)
    : port_(port), prompt_(prompt), settings_(settings), hooks_(std::move(hooks)), reader_(port, mailbox, log)
{
}

GpsControl::~GpsControl()
{
    StopGps();
}

void GpsControl::wait(std::chrono::milliseconds ms)
{
    if (hooks_.sleep)
        hooks_.sleep(ms);
    else
        std::this_thread::sleep_for(ms);
}

std::optional<std::string> GpsControl::chosenName()
{
    namespace keys = settings::keys;
    if (portOverride)
        return portOverride;
    if (!settings_.keyExists())
        return std::nullopt;
    const SourceKind kind = sourceKindFromText(settings_.read(keys::Source).value_or(""));
    if (kind == SourceKind::Serial)
        return settings_.read(keys::Port);
    return sourceName(kind, "", settings_.read(keys::SourceHost).value_or(""),
                      settings_.read(keys::SourcePort).value_or(""));
}

bool GpsControl::OpenCommPort()
{
    namespace keys = settings::keys;
    const std::optional<std::string> name = chosenName();
    if (!name) {
        prompt_.message(
            "Unable read the comm port name from the registry.\nPlease check the port settings ?");
        return false;
    }
    portName_ = *name;

    if (!portOpen_) {
        if (!port_.open(portName_)) {
            prompt_.message("Can't open com port " + portName_);
            return false;
        }
    }
    portOpen_ = true;

    // A network source has no line to set up and nothing to wait for.
    if (isNetworkSourceName(portName_))
        return true;

    // From here on a failure leaves the port open and flagged open; the next
    // Start closes it first.
    const std::optional<LineSettings> current = port_.state();
    if (!current)
        return false;

    LineSettings wanted; // 4800 8N1 when the key vanished since the port name was read
    if (settings_.keyExists()) {
        wanted = mapStoredLineSettings(*current, settings_.read(keys::Speed), settings_.read(keys::StopBits),
                                       settings_.read(keys::Parity), settings_.read(keys::DataBits));
    }

    lineSettings_ = wanted;
    BusyScope busy(hooks_.opening, portName_);
    wait(std::chrono::milliseconds(1000));
    if (!port_.applyState(wanted)) {
        prompt_.show("SetCommState\nCould not set communication state \n openport aborted", PromptButtons::Ok,
                     PromptIcon::Error);
        return false;
    }
    wait(std::chrono::milliseconds(2000));
    if (!port_.setReadTimeout(kReadTimeout)) {
        prompt_.show("SetCommTimeouts\nCould not set communication timeouts\n openport aborted",
                     PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    wait(std::chrono::milliseconds(500));
    port_.clearErrors();
    wait(std::chrono::milliseconds(500));
    return true;
}

bool GpsControl::CloseCommPort()
{
    if (!portOpen_)
        return false;
    // The reader must be out of read() before the handle goes away.
    reader_.stop();
    portOpen_ = false;
    if (!port_.close()) {
        prompt_.message("Can't close port.");
        return false;
    }
    return true;
}

bool GpsControl::reopen()
{
    port_.close();
    if (!port_.open(portName_))
        return false;
    if (isNetworkSourceName(portName_))
        return true;
    // The receiver is back: the line as the last open left it, without the
    // waits (it has been talking before).
    if (!port_.applyState(lineSettings_) || !port_.setReadTimeout(kReadTimeout)) {
        port_.close();
        return false;
    }
    port_.clearErrors();
    return true;
}

bool GpsControl::startReader()
{
    const bool reconnect =
        reconnectOverride.value_or(settings_.keyExists() && settings_.read(settings::keys::Reconnect) == 1);
    reader_.setReopen(reconnect ? SerialReader::Reopen([this] { return reopen(); }) : SerialReader::Reopen{});
    return reader_.start(portName_);
}

void GpsControl::StartGps()
{
    if (portOpen_) {
        reader_.stop();
        CloseCommPort();
    }
    if (hooks_.resetAverageSpeed)
        hooks_.resetAverageSpeed();
    portOpen_ = false;
    OpenCommPort();
    if (!startReader())
        prompt_.message("Comms port is not open");
}

void GpsControl::StopGps()
{
    reader_.stop();
    CloseCommPort();
}

} // namespace varno::gps
