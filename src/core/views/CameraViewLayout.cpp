// The fixed pixel layout of the camera view: every box, its font and where its text starts.
#include "views/CameraViewLayout.h"

namespace varno::views {

const BoxSpec& boxSpec(BoxId id)
{
    for (const BoxSpec& b : kCameraViewBoxes)
        if (b.id == id)
            return b;
    return kCameraViewBoxes.front(); // every BoxId has a row; not reached
}

} // namespace varno::views
