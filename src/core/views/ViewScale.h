// How a view's logical layout maps onto the window: built at a logical size, painted scaled and centred.
#pragma once

namespace varno::views {

// The size the fixed-layout views are laid out for: the camera view's boxes
// reach x 770 and y 501 (the sentence strip), so 780 x 510 holds every box
// with a small margin. A larger window shows this size scaled up.
inline constexpr int kLayoutWidth = 780;
inline constexpr int kLayoutHeight = 510;

// Where the scene of one repaint lives and how it reaches the window.
struct ViewScale {
    int logicalWidth = 0; // the size the scene is built at
    int logicalHeight = 0;
    double factor = 1.0; // window pixels per logical pixel
    double dx = 0.0;     // [window px] where the logical origin lands
    double dy = 0.0;

    bool identity() const { return factor == 1.0 && dx == 0.0 && dy == 0.0; }
    // A window position as the logical pixel it falls in.
    struct Point {
        int x = 0;
        int y = 0;
    };
    Point toLogical(double windowX, double windowY) const;
};

// The mapping for a window of windowWidth x windowHeight. With scaling off, or
// for a view that fills the window itself, or for a window no larger than the
// layout in either direction, the scene is the window at 1:1; otherwise the
// layout size is scaled uniformly to fit and centred (the rest is letterbox).
ViewScale viewScaleFor(int windowWidth, int windowHeight, bool scaleWithWindow, bool fixedLayout);

} // namespace varno::views
