// The machine's local time of day.
#pragma once

#include "base/Clock.h"

namespace varno::platform {

class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

} // namespace varno::platform
