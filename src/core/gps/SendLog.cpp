// Sending a log file out of a serial port, line by line, on a worker thread.
#include "gps/SendLog.h"

#include <cstdio>
#include <memory>

#include "base/LineReader.h"
#include "base/InputFile.h"

namespace varno::gps {

bool openSendPort(SerialPort& port, settings::Settings& settings, Prompt& prompt,
                  const std::function<void(std::chrono::milliseconds)>& sleep)
{
    auto wait = [&](std::chrono::milliseconds ms) {
        if (sleep)
            sleep(ms);
        else
            std::this_thread::sleep_for(ms);
    };
    namespace keys = settings::keys;
    std::optional<std::string> name;
    if (settings.keyExists())
        name = settings.read(keys::Port);
    if (!name) {
        prompt.message("Unable read the comm port name from the registry.\nPlease check the port settings ?");
        return false;
    }
    if (port.isOpen())
        port.close();
    if (!port.open(*name)) {
        prompt.message("Can't open com port " + *name);
        return false;
    }
    const std::optional<LineSettings> current = port.state();
    if (!current) {
        port.close();
        return false;
    }
    const LineSettings wanted =
        mapStoredLineSettings(*current, settings.read(keys::Speed), settings.read(keys::StopBits),
                              settings.read(keys::Parity), settings.read(keys::DataBits));
    wait(std::chrono::milliseconds(1000));
    if (!port.applyState(wanted)) {
        prompt.show("SetCommState\nCould not set communication state \n openport aborted", PromptButtons::Ok,
                    PromptIcon::Error);
        port.close();
        return false;
    }
    wait(std::chrono::milliseconds(1000));
    if (!port.setReadTimeout(std::chrono::milliseconds(10))) {
        prompt.show("SetCommTimeouts\nCould not set communication timeouts\n openport aborted",
                    PromptButtons::Ok, PromptIcon::Error);
        port.close();
        return false;
    }
    wait(std::chrono::milliseconds(1000));
    port.clearErrors();
    return true;
}

SendLog::SendLog(SerialPort& port, Prompt& prompt, settings::Settings& settings, Callbacks callbacks)
    : port_(port), prompt_(prompt), settings_(settings), callbacks_(std::move(callbacks)),
      bridge_(callbacks_.postToUi), pacer_(callbacks_.waitTick)
{
}

SendLog::~SendLog()
{
    stop();
}

bool SendLog::start(std::string fileName, int loopCount, bool oneSecondIntervals)
{
    if (running_)
        return false;
    if (worker_.joinable())
        worker_.join();
    fileName_ = std::move(fileName);
    loopCount_ = loopCount;
    interval_ = oneSecondIntervals;
    paused_ = false;
    step_ = false;
    if (!openSendPort(port_, settings_, prompt_, callbacks_.sleep))
        return false;
    bridge_.reset();
    running_ = true;
    worker_ = std::thread([this] {
        run();
        running_ = false;
    });
    return true;
}

void SendLog::pause()
{
    paused_ = !paused_;
    step_ = false;
}

void SendLog::stop()
{
    bridge_.cancel();
    if (worker_.joinable())
        worker_.join();
    if (port_.isOpen())
        port_.close();
}

void SendLog::join()
{
    if (worker_.joinable())
        worker_.join();
}

bool SendLog::waitWhilePaused()
{
    using namespace std::chrono;
    while (paused_ && !step_) {
        // The flags are polled, as the dialog's buttons only set them.
        if (!bridge_.sleepUntil(steady_clock::now() + milliseconds(10)))
            return false;
    }
    step_ = false; // a single step lets this one line through
    return !bridge_.cancelled();
}

void SendLog::run()
{
    auto show = [this](const std::function<void(int)>& field, int value) {
        if (field)
            bridge_.post([field, value] { field(value); });
    };
    linesSent_ = 0;
    show(callbacks_.showLinesSent, 0);
    std::string line;
    while (loopCount_ >= 1) {
        std::string refusal;
        FileHandle file = openTextForReading(fileName_, &refusal);
        if (!file) {
            const std::string text = "Error can't open the log file\n" + nameWithRefusal(fileName_, refusal);
            bridge_.call([this, text] { prompt_.message(text); });
            return;
        }
        if (interval_)
            pacer_.start(kTickPeriod);
        LineReader reader(file.get());
        for (;;) {
            if (!waitWhilePaused())
                return;
            if (!reader.next(line, kLineLimit))
                break;
            // The line end always goes before CR LF is added: an empty line or
            // a one-character one would otherwise keep its own LF and go out
            // as "\n\r\n" or "A\n\r\n".
            stripLineEnd(line, 2);
            line += "\r\n";
            if (line.size() > 2 && !port_.write(line))
                return; // the port went away or was stopped: end quietly
            show(callbacks_.showLinesSent, ++linesSent_);
            if (interval_ && !pacer_.wait(bridge_))
                return;
            if (bridge_.cancelled())
                return;
        }
        file.reset();
        show(callbacks_.showLoopCount, --loopCount_);
        if (loopCount_ == 0) {
            show(callbacks_.showLoopCount, 1);
            return;
        }
    }
}

} // namespace varno::gps
