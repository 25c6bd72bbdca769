#include "views/HeadingLag.h"

#include <cmath>

namespace varno::views {

double HeadingLag::step(double courseDeg, double speedKnots)
{
    if (displayed_ == courseDeg || !(speedKnots > 1.0) || !std::isfinite(courseDeg))
        return displayed_;
    if (displayed_ + courseDeg <= 0.0) {
        displayed_ = 0.0;
        return displayed_;
    }
    double course = std::fmod(courseDeg, 360.0);
    if (course < 0.0)
        course += 360.0;
    double diff = course - displayed_;
    if (diff > 180.0)
        diff -= 360.0;
    else if (diff < -180.0)
        diff += 360.0;
    double next = displayed_ + diff / 2.0;
    if (next < 0.0)
        next += 360.0;
    else if (next >= 360.0)
        next -= 360.0;
    displayed_ = next;
    return displayed_;
}

} // namespace varno::views
