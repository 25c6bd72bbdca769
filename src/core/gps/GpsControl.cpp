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
    // Only the end: the start was signalled elsewhere.
    BusyScope(std::nullptr_t, const std::function<void(bool, const std::string&)>& hook,
              const std::string& port)
        : hook_(hook), port_(port)
    {
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

GpsControl::GpsControl(SerialPort& port, SentenceMailbox& mailbox, NmeaLog& log, Prompt& prompt,
                       settings::Settings& settings)
    : GpsControl(port, mailbox, log, prompt, settings, Hooks{})
{
}

GpsControl::~GpsControl()
{
    StopGps();
}

bool GpsControl::wait(std::chrono::milliseconds ms)
{
    if (hooks_.sleep) {
        hooks_.sleep(ms);
        return !openBridge_.cancelled();
    }
    return openBridge_.sleepUntil(std::chrono::steady_clock::now() + ms);
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

std::optional<GpsControl::OpenPlan> GpsControl::makePlan()
{
    namespace keys = settings::keys;
    const std::optional<std::string> name = chosenName();
    if (!name) {
        prompt_.message(
            "Unable read the comm port name from the registry.\nPlease check the port settings ?");
        return std::nullopt;
    }
    OpenPlan plan;
    plan.name = *name;
    plan.alreadyOpen = portOpen_;
    plan.keyExists = settings_.keyExists();
    if (plan.keyExists) {
        plan.speed = settings_.read(keys::Speed);
        plan.stopBits = settings_.read(keys::StopBits);
        plan.parity = settings_.read(keys::Parity);
        plan.dataBits = settings_.read(keys::DataBits);
    }
    return plan;
}

GpsControl::OpenOutcome GpsControl::runOpen(const OpenPlan& plan, bool busy)
{
    using Stop = OpenOutcome::Stop;
    OpenOutcome out;
    if (!plan.alreadyOpen && !port_.open(plan.name)) {
        out.stop = Stop::OpenFailed;
        out.reason = port_.openFailureReason();
        return out;
    }
    out.opened = true;

    // A network source has no line to set up and nothing to wait for.
    if (isNetworkSourceName(plan.name))
        return out;

    const std::optional<LineSettings> current = port_.state();
    if (!current) {
        out.stop = Stop::NoState;
        return out;
    }
    // 4800 8N1 when the key vanished since the port name was read.
    out.applied = plan.keyExists
                      ? mapStoredLineSettings(*current, plan.speed, plan.stopBits, plan.parity, plan.dataBits)
                      : LineSettings{};

    std::optional<BusyScope> busyScope;
    if (busy)
        busyScope.emplace(hooks_.opening, plan.name);
    const auto stopped = [&out](Stop why) {
        out.stop = why;
        return out;
    };
    if (!wait(std::chrono::milliseconds(1000)))
        return stopped(Stop::Cancelled);
    if (!port_.applyState(out.applied))
        return stopped(Stop::StateFailed);
    if (!wait(std::chrono::milliseconds(2000)))
        return stopped(Stop::Cancelled);
    if (!port_.setReadTimeout(kReadTimeout))
        return stopped(Stop::TimeoutsFailed);
    if (!wait(std::chrono::milliseconds(500)))
        return stopped(Stop::Cancelled);
    port_.clearErrors();
    if (!wait(std::chrono::milliseconds(500)))
        return stopped(Stop::Cancelled);
    return out;
}

bool GpsControl::finishOpen(const OpenPlan& plan, const OpenOutcome& out)
{
    using Stop = OpenOutcome::Stop;
    if (out.stop == Stop::OpenFailed) {
        // The system's reason on a line of its own, when it gave one.
        prompt_.message("Can't open com port " + plan.name + (out.reason.empty() ? "" : "\n" + out.reason));
        return false;
    }
    // From here on a failure leaves the port open and flagged open; the next
    // Start closes it first.
    portOpen_ = true;
    if (out.stop == Stop::NoState)
        return false;
    if (!isNetworkSourceName(plan.name))
        lineSettings_ = out.applied;
    switch (out.stop) {
    case Stop::StateFailed:
        prompt_.show("SetCommState\nCould not set communication state \n openport aborted", PromptButtons::Ok,
                     PromptIcon::Error);
        return false;
    case Stop::TimeoutsFailed:
        prompt_.show("SetCommTimeouts\nCould not set communication timeouts\n openport aborted",
                     PromptButtons::Ok, PromptIcon::Error);
        return false;
    case Stop::Cancelled:
        return false;
    default:
        return true;
    }
}

bool GpsControl::OpenCommPort()
{
    if (!opening())
        openBridge_ = UiBridge(); // waits in full on this thread
    const std::optional<OpenPlan> plan = makePlan();
    if (!plan)
        return false;
    portName_ = plan->name;
    return finishOpen(*plan, runOpen(*plan, true));
}

void GpsControl::openEnded(bool cancelled)
{
    if (!worker_.joinable())
        return; // ended already (a cancel came first)
    if (cancelled)
        openBridge_.cancel();
    worker_.join();
    const OpenOutcome out = workerOutcome_;
    // The busy indication ends however the open ends, once the flag and the
    // reader say how it went (messages included, as on the calling thread).
    const BusyScope busyEnds(nullptr, hooks_.opening, workerPlan_.name);
    if (cancelled) {
        // Stopped while opening: nothing of the open stays.
        if (out.opened && !workerPlan_.alreadyOpen)
            port_.close();
        portOpen_ = false;
        return;
    }
    finishOpen(workerPlan_, out);
    if (!startReader())
        prompt_.message("Comms port is not open");
}

void GpsControl::cancelOpen()
{
    openEnded(true);
}

bool GpsControl::CloseCommPort()
{
    cancelOpen();
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
    if (opening())
        return; // a Start is opening the port already; its result follows
    if (portOpen_) {
        reader_.stop();
        CloseCommPort();
    }
    if (hooks_.resetAverageSpeed)
        hooks_.resetAverageSpeed();
    portOpen_ = false;
    if (!hooks_.postToUi) {
        OpenCommPort();
        if (!startReader())
            prompt_.message("Comms port is not open");
        return;
    }
    const std::optional<OpenPlan> plan = makePlan();
    if (!plan) {
        prompt_.message("Comms port is not open");
        return;
    }
    portName_ = plan->name;
    workerPlan_ = *plan;
    workerOutcome_ = {};
    openBridge_ = UiBridge(hooks_.postToUi);
    if (hooks_.opening)
        hooks_.opening(true, portName_);
    worker_ = std::thread([this] {
        workerOutcome_ = runOpen(workerPlan_, false);
        openBridge_.post([this] { openEnded(false); });
    });
}

void GpsControl::StopGps()
{
    cancelOpen();
    reader_.stop();
    CloseCommPort();
}

} // namespace varno::gps
