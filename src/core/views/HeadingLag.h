// The heading the compass rose is drawn for: it follows the fix course with a lag.
#pragma once

namespace varno::views {

// Each draw moves the displayed heading halfway to the course, while the
// vehicle moves faster than 1 knot; when standing the rose keeps still. The
// half is taken along the shorter way round, so a course across north turns
// the rose through north instead of through south; the result lies in
// [0, 360). A sum of displayed heading and course of 0 or less gives 0.
class HeadingLag {
public:
    // One draw's step; returns the new displayed heading.
    double step(double courseDeg, double speedKnots);
    double displayed() const { return displayed_; }
    void reset() { displayed_ = 0.0; }

private:
    double displayed_ = 0.0;
};

} // namespace varno::views
