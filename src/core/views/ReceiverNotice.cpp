// The receiver's state in big words over a view, in place of an empty view or numbers that look valid.
#include "views/ReceiverNotice.h"

#include <fmt/format.h>

namespace varno::views {

std::string receiverNoticeText(const SceneInput& in)
{
    if (!in.receiverNotice)
        return {};
    if (!in.linkNotice.empty())
        return in.linkNotice;
    if (!in.noFix || in.nothingReceived)
        return {};
    if (!in.satellites)
        return std::string(kNoFixText);
    return fmt::format("{} \u2014 {} satellite{}", kNoFixText, *in.satellites,
                       *in.satellites == 1 ? "" : "s");
}

void addReceiverNotice(Scene& scene, const SceneInput& in)
{
    const std::string text = receiverNoticeText(in);
    if (text.empty() || !fitsWindow(kNoticeRect, in.windowWidth, in.windowHeight))
        return;
    scene.addBox(kNoticeRect, kFrameGrey, kNoticeFill);
    const bool noFix = in.linkNotice.empty();
    TextItem t{text,      kNoticeRect.left, kNoticeRect.top,
               "Arial",   kNoticeFont,      noFix ? kNoticeAmber : kNoticeText,
               kNoColour, kNoticeRect};
    t.centred = true;
    scene.add(std::move(t));
}

} // namespace varno::views
