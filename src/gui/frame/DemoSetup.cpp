// varno --demo: a throwaway data folder and settings file, filled from the bundled demo data.
#include "gui/frame/DemoSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "session/FirstRun.h"
#include "settings/Settings.h"

#ifndef VARNO_DEMO_DATA_DIR
#define VARNO_DEMO_DATA_DIR "data/demo"
#endif
#ifndef VARNO_BUILD_ROOT
#define VARNO_BUILD_ROOT "build"
#endif

namespace {

// The demo data of an installed program lies in <prefix>/share/varno/demo,
// beside the <prefix>/bin the program runs from; a program run from the build
// tree takes it from the source tree.
QString installedDemoData()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/varno/demo");
    return QFileInfo(dir + QStringLiteral("/demo-drive.txt")).isFile() ? QDir::cleanPath(dir) : QString();
}

QString demoData()
{
    const QString installed = installedDemoData();
    return installed.isEmpty() ? QStringLiteral(VARNO_DEMO_DATA_DIR) : installed;
}

bool copyOver(const QString& from, const QString& to, QString* error)
{
    QFile::remove(to);
    if (QFile::copy(from, to))
        return true;
    if (error)
        *error = QStringLiteral("Cannot copy %1 to %2").arg(from, to);
    return false;
}

} // namespace

DemoPlace demoPlace()
{
    const QByteArray env = qgetenv("VARNO_DEMO_DIR");
    QString root = QString::fromLocal8Bit(env);
    if (root.isEmpty())
        root =
            installedDemoData().isEmpty()
                ? QStringLiteral(VARNO_BUILD_ROOT "/demo")
                : QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/demo");
    const QString home = root + QStringLiteral("/home");
    return {root, home, root + QStringLiteral("/settings.reg"), home + QStringLiteral("/Log/demo-drive.txt"),
            home + QStringLiteral("/Trail/demo-trail.gpx")};
}

bool prepareDemoPlace(const DemoPlace& place, QString* error)
{
    const QDir data(demoData());
    if (!QDir().mkpath(place.home + QStringLiteral("/Log")) ||
        !QDir().mkpath(place.home + QStringLiteral("/Route")) ||
        !QDir().mkpath(place.home + QStringLiteral("/POI")) ||
        !QDir().mkpath(place.home + QStringLiteral("/Trail"))) {
        if (error)
            *error = QStringLiteral("Cannot make the demo folder %1").arg(place.home);
        return false;
    }
    // A fresh settings file each time: the demo always starts the same way.
    QFile::remove(place.settingsFile);
    if (!copyOver(data.filePath(QStringLiteral("VARNOCamera.txt")),
                  place.home + QStringLiteral("/VARNOCamera.txt"), error) ||
        !copyOver(data.filePath(QStringLiteral("demo-drive.txt")), place.drive, error) ||
        !copyOver(data.filePath(QStringLiteral("demo-route.csv")),
                  place.home + QStringLiteral("/Route/demo-route.csv"), error) ||
        !copyOver(data.filePath(QStringLiteral("demo-poi.txt")),
                  place.home + QStringLiteral("/POI/demo-poi.txt"), error) ||
        !copyOver(data.filePath(QStringLiteral("demo-trail.gpx")), place.trail, error))
        return false;

    qputenv("VARNO_HOME", QFile::encodeName(place.home));
    qputenv("VARNO_SETTINGS", QFile::encodeName(place.settingsFile));
    return true;
}

bool writeDemoSettings(varno::settings::Settings& settings)
{
    namespace keys = varno::settings::keys;
    return settings.writeDefaults() && settings.write(keys::LogTrack, true) &&
           settings.write(keys::DisplayTrack, true) && settings.write(keys::AverageSpeed, 1u) &&
           settings.write(keys::CameraFile, keys::CameraFile.row().defaultText) &&
           // A route along the drive, loaded at start and spoken by the agent in the route view (F8).
           settings.write(keys::RouteName, "C:\\VARNO\\Route\\demo-route.csv") &&
           settings.write(keys::AutoStartRoute, true) && settings.write(keys::RouteUseMSAgent, true) &&
           settings.store().setString(varno::settings::kPoiFilesKey, "POIFile1", "demo-poi.txt") &&
           settings.write(keys::POIFileNameCount, 1u) &&
           // What a new profile recommended for driving shows: cameras ahead only, speeding, the zone's
           // average. The demo drive is in England, its camera limits in mph, whatever this machine's locale.
           varno::session::writeRecommendedProfile(settings, "en_GB");
}
