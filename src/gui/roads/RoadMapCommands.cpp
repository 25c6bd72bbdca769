// Options > Road map...: choose a road map, or build one from an OpenStreetMap extract, or turn it off.
#include "gui/roads/RoadMapCommands.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "gui/convert/ConvertRunner.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "roads/RoadMapBuilder.h"

#ifndef VARNO_VERSION
#define VARNO_VERSION "unknown"
#endif

namespace keys = varno::settings::keys;

QString proposedRoadMapName(const QString& extract)
{
    const QFileInfo info(extract);
    QString name = info.fileName();
    for (const char* ending : {".gz", ".bz2", ".pbf", ".osm"})
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive))
            name.chop(static_cast<int>(std::strlen(ending)));
    return info.dir().filePath(name + QStringLiteral(".roads.sqlite"));
}

RoadMapDialog::RoadMapDialog(varno::session::Session& session, FileDialogs& dialogs, QWidget* parent)
    : QDialog(parent), session_(session), dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("Road map"));
    file_ =
        new QLineEdit(QString::fromStdString(session.settings().read(keys::RoadMapFile).value_or("")), this);
    file_->setObjectName(QStringLiteral("roadMapFile"));
    file_->setMinimumWidth(420);
    note_ = new QLabel(QStringLiteral("The roads around the car are drawn under the camera, POI, route and "
                                      "trail views, and the road you are on and its limit are shown.\n"
                                      "An empty name turns the road map off."),
                       this);
    note_->setWordWrap(true);
    auto* choose = new QPushButton(QStringLiteral("&Choose..."), this);
    auto* build = new QPushButton(QStringLiteral("&Build from extract..."), this);
    auto* none = new QPushButton(QStringLiteral("&None"), this);
    connect(choose, &QPushButton::clicked, this, &RoadMapDialog::choose);
    connect(build, &QPushButton::clicked, this, &RoadMapDialog::buildFromExtract);
    connect(none, &QPushButton::clicked, file_, &QLineEdit::clear);
    auto* row = new QHBoxLayout;
    row->addWidget(choose);
    row->addWidget(build);
    row->addWidget(none);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Road map file:"), this));
    layout->addWidget(file_);
    layout->addLayout(row);
    layout->addWidget(note_);
    layout->addWidget(buttons);
}

void RoadMapDialog::choose()
{
    FileRequest request;
    request.title = QStringLiteral("Choose a road map");
    request.folder = QFileInfo(file_->text()).absolutePath();
    request.filter = QStringLiteral("Road maps (*.sqlite *.db);;All files (*)");
    const QString chosen = dialogs_.open(this, request);
    if (!chosen.isEmpty())
        file_->setText(chosen);
}

void RoadMapDialog::buildFromExtract()
{
    FileRequest from;
    from.title = QStringLiteral("Build a road map from an OpenStreetMap extract");
    from.filter =
        QStringLiteral("OpenStreetMap extracts (*.osm.pbf *.osm *.osm.gz *.osm.bz2);;All files (*)");
    const QString extract = dialogs_.open(this, from);
    if (extract.isEmpty())
        return;
    FileRequest to;
    to.title = QStringLiteral("Save the road map as");
    to.folder = QFileInfo(extract).absolutePath();
    to.proposedName = QFileInfo(proposedRoadMapName(extract)).fileName();
    to.filter = QStringLiteral("Road maps (*.sqlite);;All files (*)");
    to.defaultSuffix = QStringLiteral("sqlite");
    const QString destination = dialogs_.save(this, to);
    if (destination.isEmpty())
        return;
    // The map is written under a temporary name and renamed when complete:
    // a failed or cancelled build leaves the file there as it was.
    const std::string source = extract.toStdString(), target = destination.toStdString();
    const varno::Report report =
        runConversion(this, QStringLiteral("Building the road map"), [&](varno::Progress& progress) {
            varno::roads::RoadMapBuildOptions options;
            options.buildVersion = VARNO_VERSION;
            options.progress = [&](double fraction) {
                return progress.updateNow(static_cast<std::uint64_t>(fraction * 1000.0), 1000);
            };
            return varno::roads::buildRoadMap(source, target, options);
        });
    session_.prompt().message(report.message);
    if (report.ok())
        file_->setText(destination);
}

void RoadMapDialog::accept()
{
    const std::string name = file_->text().trimmed().toStdString();
    // A write that fails has said so; the dialog stays open to try again.
    if (!session_.settings().write(keys::RoadMapFile, name))
        return;
    session_.reloadRoadMap();
    QDialog::accept();
}

RoadMapCommands::RoadMapCommands(varno::session::Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window)
{
    setObjectName(QStringLiteral("roadMapCommands"));
}

void RoadMapCommands::showDialog()
{
    RoadMapDialog dlg(session_, dialogs, window_);
    dlg.exec();
}

void registerRoadMapCommands(CMainFrame& frame)
{
    auto* commands = new RoadMapCommands(frame.session(), &frame);
    CVARNOView* view = frame.view();
    frame.on({varno::session::CommandId::RoadMap}, [commands, view] {
        commands->showDialog();
        view->update();
    });
}
