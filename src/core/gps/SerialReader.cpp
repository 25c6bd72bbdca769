// GetSerialDataThread: reads the receiver, logs every line, hands sentences over.
#include "gps/SerialReader.h"

#include <array>

#include "gps/HandOffFilter.h"

namespace varno::gps {

SerialReader::SerialReader(PositionSource& port, SentenceMailbox& mailbox, NmeaLog& log)
    : port_(port), mailbox_(mailbox), log_(log)
{
}

SerialReader::~SerialReader()
{
    stop();
}

void SerialReader::setCallbacks(Callbacks callbacks)
{
    stop();
    callbacks_ = std::move(callbacks);
}

void SerialReader::setReopen(Reopen reopen, std::chrono::milliseconds retry)
{
    stop();
    reopen_ = std::move(reopen);
    retry_ = retry;
}

bool SerialReader::start(const std::string& portName)
{
    stop();
    mailbox_.reset();
    if (!port_.isOpen())
        return false;
    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread(&SerialReader::run, this, portName);
    return true;
}

void SerialReader::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(waitMutex_);
        stopRequested_ = true;
    }
    waitCv_.notify_all();
    port_.interruptRead();
    thread_.join();
    running_ = false;
}

SerialReader::Stats SerialReader::stats() const
{
    return {bytes_.load(), lines_.load(), handedOver_.load(), overlong_.load()};
}

std::string SerialReader::goneMessage(std::string_view portName)
{
    return "The GPS receiver on " + std::string(portName) +
           " stopped responding.\nCheck the connection and press Start.";
}

std::string SerialReader::waitingMessage(std::string_view portName)
{
    return "GPS on " + std::string(portName) + " lost: waiting for it to come back";
}

std::string SerialReader::resumedMessage(std::string_view portName)
{
    return "GPS on " + std::string(portName) + " is back: reading resumed";
}

bool SerialReader::awaitReturn(const std::string& portName)
{
    if (callbacks_.waiting)
        callbacks_.waiting(waitingMessage(portName));
    while (true) {
        {
            std::unique_lock lock(waitMutex_);
            if (waitCv_.wait_for(lock, retry_, [this] { return stopRequested_.load(); }))
                return false;
        }
        if (reopen_()) {
            if (stopRequested_.load())
                return false;
            if (callbacks_.resumed)
                callbacks_.resumed(resumedMessage(portName));
            return true;
        }
    }
}

void SerialReader::run(std::string portName)
{
    // Bytes are taken in chunks, but handled one at a time exactly as if each
    // had been read on its own.
    std::array<char, 4096> buffer;
    std::string line;
    line.reserve(kMaxLine + 1);

    while (!stopRequested_.load()) {
        const ReadResult r = port_.read(buffer);
        if (r.status == ReadStatus::Gone) {
            if (stopRequested_.load())
                break;
            // A line cut off by the unplug never reaches the log or the
            // mailbox: the device starts afresh when it comes back.
            line.clear();
            if (reopen_) {
                if (awaitReturn(portName))
                    continue;
                break;
            }
            // An unplugged receiver fails every read at once; looping on
            // would burn a core with the GPS silently dead. Tell the user once.
            if (callbacks_.gone)
                callbacks_.gone(goneMessage(portName));
            break;
        }
        if (r.status != ReadStatus::Data)
            continue;
        bytes_ += r.count;
        for (std::size_t i = 0; i < r.count; ++i) {
            const char c = buffer[i];
            if (c == '\r') {
                ++lines_;
                if (auto failure = log_.appendLine(line); failure && callbacks_.logFailed)
                    callbacks_.logFailed(*failure);
                if (passesHandOffFilter(line) && mailbox_.offer(line)) {
                    ++handedOver_;
                    if (callbacks_.sentence)
                        callbacks_.sentence();
                }
                line.clear();
            } else if (c != '\n') {
                line.push_back(c);
            }
            if (line.size() > kMaxLine) {
                ++overlong_;
                line.clear();
            }
        }
    }
    running_ = false;
}

} // namespace varno::gps
