// Cameras placed around a fixed position, and sentences that leave the position alone.
#pragma once

#include <QFile>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "CVARNOView.h"
#include "GuiFixture.h"

namespace guitest {

// The fix the camera tests drive at.
inline constexpr double kFixLat = 51.5;
inline constexpr double kFixLon = 0.5;

struct PlacedCamera {
    double eastM = 0.0;
    double northM = 0.0;
    std::string type;
};

// A camera-file line for a camera east and north of the fix [m], by the map's
// own metres per degree (the cosine of the camera's latitude).
inline std::string cameraLine(const PlacedCamera& c)
{
    const double lat = kFixLat + c.northM / 111248.4;
    const double lon = kFixLon + c.eastM / (std::cos(lat * 0.017453292519943295) * 111319.2);
    char buf[200];
    // Eleven decimals still fit the 14 characters a position field keeps.
    std::snprintf(buf, sizeof buf, "%.11f,%.11f,A34,Newbury,Bridge over river,%s,P,30\n", lat, lon,
                  c.type.c_str());
    return buf;
}

// Writes the camera file where the default CameraFile setting points, puts the
// fix at kFixLat / kFixLon and loads the cameras around it.
inline void placeCameras(Rig& rig, const std::vector<PlacedCamera>& cameras)
{
    QFile f(rig.dir.path() + "/VARNOCamera.txt");
    f.open(QIODevice::WriteOnly);
    for (const PlacedCamera& c : cameras)
        f.write(cameraLine(c).c_str());
    f.close();
    rig.session->decoder().Latitude = kFixLat;
    rig.session->decoder().Longitude = kFixLon;
    rig.session->loadCameraFile();
}

// An NMEA sentence with its checksum; bad: one that fails the test (and so
// changes nothing in the fix).
inline std::string withChecksum(const std::string& body, bool bad = false)
{
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", (sum ^ (bad ? 1u : 0u)) & 0xFF);
    return body + tail;
}

// An RMC at the given speed; it moves no field the map uses.
inline std::string rmc(double knots, bool bad = false)
{
    char body[120];
    std::snprintf(body, sizeof body, "$GPRMC,122517.0,A,5130.00000,N,00030.00000,E,%05.1f,090.0,170606,,,A",
                  knots);
    return withChecksum(body, bad);
}

inline QImage render(CVARNOView& view)
{
    QImage img(view.size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    view.render(&img);
    return img;
}

inline bool isWhiteish(QColor c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() > 200;
}

} // namespace guitest
