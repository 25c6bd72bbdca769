// Local wall-clock time, behind an interface so tests can fix the time of day.
#pragma once

namespace varno {

struct LocalTime {
    int year = 2000;  // e.g. 2006
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int weekday = 6;  // 0 = Sunday .. 6 = Saturday
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int second = 0;   // 0..60
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalTime t) : time_(t) {}
    LocalTime now() const override { return time_; }
    void set(LocalTime t) { time_ = t; }

private:
    LocalTime time_;
};

} // namespace varno
