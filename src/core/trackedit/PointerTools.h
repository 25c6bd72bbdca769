// The track editor's pointer tools: the buttons painted into the view, and the
// small objects that turn pointer events on them into view moves (pan, zoom)
// and mark moves (place mark). The editor hands each event to its tools in turn.
#pragma once

#include <functional>
#include <optional>

#include "base/Prompt.h"
#include "trackedit/Background.h"
#include "trackedit/EditorProjection.h"
#include "trackedit/MarkedTrack.h"
#include "views/ViewMode.h"

namespace varno::trackedit {

// The buttons painted into the editor.
enum class EditorButton {
    None,
    StartMinus10,
    StartMinus1,
    StartPlus1,
    StartPlus10,
    EndMinus10,
    EndMinus1,
    EndPlus1,
    EndPlus10,
    ZoomOut,
    ZoomIn,
    North,
    South,
    West,
    East,
    TopBarGap,    // the top bar between its buttons
    BottomBarGap, // the bottom bar beside the zoom buttons
    TrackBar,
};

// Which button a left press at (x, y) in a W x H view lands on.
EditorButton hitButton(int x, int y, int width, int height);

// What the tools work on: the view and its height background, the edited
// track, and the way a mark move becomes an undo step.
struct ToolContext {
    EditorProjection& projection;
    std::optional<SrtmLayer>& srtm;
    const MarkedTrack& track;
    std::function<void(Marks)> moveMarks;
};

class PointerTool {
public:
    virtual ~PointerTool() = default;
    // One pointer event; hit is the button a left press landed on (None for
    // other events). True when the event was this tool's and changed the view
    // or the marks.
    virtual bool onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c) = 0;
};

// The zoom buttons and the wheel.
class ZoomTool final : public PointerTool {
public:
    bool onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c) override;
};

// The four pan buttons and the right-button drag.
class PanTool final : public PointerTool {
public:
    bool onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c) override;

private:
    int downX_ = 0, downY_ = 0;
    double downLatDeg_ = 0.0; // the latitude the drag took hold of
};

// The marker buttons and the double clicks that put a mark on a point or on
// the track bar.
class PlaceMarkTool final : public PointerTool {
public:
    bool onPointer(const views::PointerEvent& e, EditorButton hit, ToolContext& c) override;
};

} // namespace varno::trackedit
