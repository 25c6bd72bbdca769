// A Session and main window over a temporary settings file, and cameras placed around a fixed position.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>

#include "base/Clock.h"
#include "cameras/VoicePlayer.h"
#include "gps/AbsentSerialPort.h"
#include "gps/PortList.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "platform/TestPty.h"
#include "session/Session.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "support/RecordingPrompt.h"

namespace guitest {

// Runs run, which shows a modal dialog of type D (named name, when one is
// given); act gets the dialog while it is shown and must close it. Whether
// such a dialog showed.
template <class D = QDialog>
bool whileShown(const std::function<void()>& run, const std::function<void(D&)>& act,
                const QString& name = {})
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d || (!name.isEmpty() && d->objectName() != name))
            return;
        poll.stop();
        seen = true;
        act(*d);
    });
    poll.start();
    run();
    return seen;
}

// Keeps the name of every sound the program asked to play (without its folder), in order.
struct RecordingVoice final : varno::cameras::VoicePlayer {
    void play(const std::string& path) override { played.push_back(path.substr(path.rfind('/') + 1)); }
    std::vector<std::string> played;
};

struct FixedPorts final : varno::gps::SerialPortEnumerator {
    std::vector<std::string> ports;
    std::vector<std::string> presentPorts() const override { return ports; }
};

// Everything a window needs. defaults: write every default first, as a configured machine has them.
struct Rig {
    explicit Rig(bool defaults = true, varno::gps::SerialPort* realPort = nullptr)
        : store((dir.path() + "/settings.reg").toStdString()), settings(store, prompt),
          port(realPort ? *realPort : absent)
    {
        if (defaults)
            settings.writeDefaults();
        newSession(prompt);
    }
    ~Rig()
    {
        frame_.reset(); // before the session it shows
        session.reset();
    }

    // A fresh session over the settings as they are now, asking through p.
    void newSession(varno::Prompt& p)
    {
        session = std::make_unique<varno::session::Session>(
            varno::session::Session::Deps{settings, p, clock, port, dir.path().toStdString(),
                                          [this](std::chrono::milliseconds ms) {
                                              if (sleep)
                                                  sleep(ms);
                                          },
                                          &voice,
                                          [this](bool busy, const std::string& name) {
                                              if (onOpening)
                                                  onOpening(busy, name);
                                          },
                                          nullptr, postToUi});
    }

    CMainFrame& frame()
    {
        if (!frame_)
            frame_ = std::make_unique<CMainFrame>(*session, nullptr, &ports);
        return *frame_;
    }
    CMainFrame& shownFrame()
    {
        frame().show();
        [this] { QVERIFY(QTest::qWaitForWindowActive(frame_.get())); }();
        return *frame_;
    }

    // What the program does around the waits of a port open (main.cpp shows it on the frame).
    std::function<void(bool busy, const std::string& port)> onOpening;
    // The waits of a port open (none by default); with postToUi set before
    // newSession(), Start opens on a worker as the program does.
    std::function<void(std::chrono::milliseconds)> sleep;
    varno::UiBridge::Post postToUi;
    QTemporaryDir dir;
    varno::test::RecordingPrompt prompt;
    varno::FixedClock clock{varno::LocalTime{}};
    varno::gps::AbsentSerialPort absent;
    RecordingVoice voice;
    FixedPorts ports;
    varno::settings::SettingsStore store;
    varno::settings::Settings settings;
    varno::gps::SerialPort& port;
    std::unique_ptr<varno::session::Session> session;

private:
    std::unique_ptr<CMainFrame> frame_;
};

// The fix the camera tests drive at.
inline constexpr double kFixLat = 51.5, kFixLon = 0.5;

struct PlacedCamera {
    double eastM = 0.0, northM = 0.0;
    std::string type;
};

inline void atTheFix(Rig& rig)
{
    rig.session->decoder().Latitude = kFixLat;
    rig.session->decoder().Longitude = kFixLon;
}

// Writes the camera file where the default CameraFile setting points, with each camera east and
// north of the fix [m] by the map's own metres per degree, puts the fix there and loads the cameras.
inline void placeCameras(Rig& rig, const std::vector<PlacedCamera>& cameras)
{
    QString text;
    for (const PlacedCamera& c : cameras) {
        const double lat = kFixLat + c.northM / 111248.4;
        const double lon = kFixLon + c.eastM / (std::cos(lat * 0.017453292519943295) * 111319.2);
        // Eleven decimals still fit the 14 characters a position field keeps.
        text += QString::asprintf("%.11f,%.11f,A34,Newbury,Bridge over river,%s,P,30\n", lat, lon,
                                  c.type.c_str());
    }
    varno::test::writeBytes((rig.dir.path() + "/VARNOCamera.txt").toStdString(), text.toStdString());
    atTheFix(rig);
    rig.session->loadCameraFile();
}

// An RMC at the given speed, which moves no field the map uses; bad: its checksum
// fails (and so it changes nothing in the fix).
inline std::string rmc(double knots, bool bad = false)
{
    const std::string body =
        QString::asprintf("$GPRMC,122517.0,A,5130.00000,N,00030.00000,E,%05.1f,090.0,170606,,,A", knots)
            .toStdString();
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    return body + QString::asprintf("*%02X", (sum ^ (bad ? 1u : 0u)) & 0xFF).toStdString();
}

// The view as a repaint draws it, over magenta where nothing is painted.
inline QImage render(CVARNOView& view)
{
    QImage img(view.size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    view.render(&img);
    return img;
}

} // namespace guitest
