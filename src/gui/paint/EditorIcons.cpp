// The track editor's pictures: a tile in its group's colour with a short sign
// on it, in the way map keys mark points of interest.
#include "gui/paint/EditorIcons.h"

#include <QFont>
#include <QPainter>
#include <array>
#include <string>

using varno::views::IconId;

namespace {

struct Look {
    IconId id;
    QColor tile;
    const char* sign; // Latin-1
};

const QColor kAmenity(40, 90, 200);
const QColor kFood(200, 120, 30);
const QColor kCare(200, 40, 40);
const QColor kLeisure(40, 150, 60);
const QColor kTransport(90, 90, 90);
const QColor kWater(30, 140, 200);
const QColor kHistoric(130, 80, 40);

// In the order of the ids, from the first editor icon on.
const std::array<Look, varno::views::kEditorIconCount> kLooks{{
    {IconId::Parking, kAmenity, "P"},
    {IconId::Toilets, kAmenity, "WC"},
    {IconId::School, kAmenity, "Sc"},
    {IconId::Fountain, kWater, "Fn"},
    {IconId::PlaceOfWorship, kAmenity, "+"},
    {IconId::PublicBuilding, kAmenity, "PB"},
    {IconId::Biergarten, kFood, "Bg"},
    {IconId::Townhall, kAmenity, "TH"},
    {IconId::Hospital, kCare, "H"},
    {IconId::GraveYard, kTransport, "+"}, // both crosses are drawn as lines
    {IconId::University, kAmenity, "U"},
    {IconId::Restaurant, kFood, "R"},
    {IconId::FastFood, kFood, "FF"},
    {IconId::SportsGround, kLeisure, "SG"},
    {IconId::PostBox, kCare, "Po"},
    {IconId::Fuel, kTransport, "F"},
    {IconId::Telephone, kAmenity, "T"},
    {IconId::Pub, kFood, "Pb"},
    {IconId::Golf, kLeisure, "G"},
    {IconId::Playground, kLeisure, "Pg"},
    {IconId::Stadium, kLeisure, "St"},
    {IconId::Marina, kWater, "M"},
    {IconId::Fishing, kWater, "Fi"},
    {IconId::TenPin, kLeisure, "10"},
    {IconId::Athletics, kLeisure, "At"},
    {IconId::Basketball, kLeisure, "Bb"},
    {IconId::Bowling, kLeisure, "Bw"},
    {IconId::Bowls, kLeisure, "Bo"},
    {IconId::Football, kLeisure, "Fb"},
    {IconId::IceSkating, kWater, "IS"},
    {IconId::Swimming, kWater, "Sw"},
    {IconId::Rowing, kWater, "Ro"},
    {IconId::Rugby, kLeisure, "Rg"},
    {IconId::Skateboard, kLeisure, "Sb"},
    {IconId::Skating, kLeisure, "Sk"},
    {IconId::Squash, kLeisure, "Sq"},
    {IconId::Tennis, kLeisure, "Te"},
    {IconId::Station, kTransport, "Rw"},
    {IconId::LevelCrossing, kTransport, "X"},
    {IconId::SpeedCamera, kCare, "SC"},
    {IconId::Lock, kWater, "Lk"},
    {IconId::Weir, kWater, "We"},
    {IconId::Memorial, kHistoric, "Me"},
    {IconId::Castle, kHistoric, "Ca"},
    {IconId::Monument, kHistoric, "Mo"},
    {IconId::Fort, kHistoric, "Ft"},
    {IconId::Well, kHistoric, "Wl"},
    {IconId::HistoricBuilding, kHistoric, "HB"},
    {IconId::Statue, kHistoric, "Sa"},
    {IconId::Windmill, kHistoric, "Wm"},
    {IconId::Ruins, kHistoric, "Ru"},
    {IconId::Museum, kHistoric, "Mu"},
    {IconId::House, kHistoric, "Ho"},
    {IconId::Pier, kWater, "Pi"},
    {IconId::FerrisWheel, kLeisure, "FW"},
}};

std::size_t indexOf(IconId id)
{
    return static_cast<std::size_t>(id) - static_cast<std::size_t>(varno::views::kFirstEditorIcon);
}

QImage drawIcon(const Look& look)
{
    QImage img(kEditorIconSize, kEditorIconSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(look.tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, kEditorIconSize - 1, kEditorIconSize - 1), 4, 4);
    if (look.id == IconId::GraveYard || look.id == IconId::PlaceOfWorship) {
        // A cross: on a dark tile for graves, on the amenity tile for worship.
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(10, 4), QPointF(10, 16));
        p.drawLine(QPointF(6, 8), QPointF(14, 8));
        return img;
    }
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(std::char_traits<char>::length(look.sign) > 1 ? 9 : 13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, kEditorIconSize, kEditorIconSize), Qt::AlignCenter,
               QString::fromLatin1(look.sign));
    return img;
}

} // namespace

bool isEditorIcon(IconId id)
{
    return static_cast<std::size_t>(id) >= static_cast<std::size_t>(varno::views::kFirstEditorIcon) &&
           indexOf(id) < kLooks.size();
}

const QImage& editorIcon(IconId id)
{
    static const std::array<QImage, varno::views::kEditorIconCount> icons = [] {
        std::array<QImage, varno::views::kEditorIconCount> all;
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = drawIcon(kLooks[i]);
        return all;
    }();
    return icons[isEditorIcon(id) ? indexOf(id) : 0];
}
