// The welcome page after the first start: a camera file, the receiver, and Start.
#include "gui/frame/FirstRunPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/DataPath.h"
#include "gps/PortList.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/paint/ColourConvert.h"
#include "session/CommandTable.h"
#include "session/FirstRun.h"

using varno::session::CommandId;
namespace keys = varno::settings::keys;

namespace {

// The receiver list's network entries carry these as their data; a port carries its name.
const QString kGpsd = QStringLiteral("gpsd"), kTcp = QStringLiteral("TCP");

// The Convert commands that write a camera file, each named as in the menu and then what the page
// adds: the menu's "Pocket GPS CSV" reads OV2 files as well, which a new user would not guess.
struct CameraConverter {
    CommandId id;
    const char* more;
};
constexpr CameraConverter kCameraConverters[] = {{CommandId::ConvertPocketGpsCsv, " or OV2"},
                                                 {CommandId::ConvertGarminCsv, ""},
                                                 {CommandId::ConvertOsmCameras, ""}};

} // namespace

FirstRunPage::FirstRunPage(CMainFrame& frame) : QDialog(&frame), frame_(frame)
{
    setWindowTitle(QStringLiteral("Welcome to VARNO"));
    setObjectName(QStringLiteral("firstRunPage"));
    varno::session::Session& session = frame.session();
    varno::settings::Settings& settings = session.settings();

    auto* intro = new QLabel(
        QStringLiteral("VARNO warns you as you near a safety camera. It needs a list of cameras and "
                       "a GPS receiver.\nChoose both, then press Start; all of it can be changed later "
                       "(Options \u2192 Comm Settings, the Convert menu)."),
        this);
    intro->setWordWrap(true);

    // The camera file: where the setting points now, as used on this machine.
    const std::string stored =
        settings.read(keys::CameraFile).value_or(keys::CameraFile.row().defaultText.data());
    cameraFile_ = new QLineEdit(textFromBytes(varno::mapDataPath(stored, session.dataRoot())), this);
    cameraFile_->setMinimumWidth(cameraFile_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    browse_ = new QPushButton(QStringLiteral("&Browse\u2026"), this);
    convert_ = new QPushButton(QStringLiteral("&Convert\u2026"), this);
    convert_->setToolTip(
        QStringLiteral("Make a camera file from a PocketGPS or Garmin list, or from OpenStreetMap"));
    auto* convertMenu = new QMenu(convert_);
    for (const auto& [id, more] : kCameraConverters)
        if (frame.hasHandler(id))
            convertMenu->addAction(frame.action(id)->text() + QLatin1String(more), this,
                                   [this, id] { frame_.runCommand(id); });
    convert_->setMenu(convertMenu);
    convert_->setEnabled(!convertMenu->isEmpty());
    cameraNote_ = new QLabel(this);
    auto* cameraRow = new QHBoxLayout;
    cameraRow->addWidget(cameraFile_, 1);
    cameraRow->addWidget(browse_);
    cameraRow->addWidget(convert_);
    connect(cameraFile_, &QLineEdit::textChanged, this, &FirstRunPage::showCameraNote);
    // A camera file just converted is the one the user wants.
    connect(&frame, &CMainFrame::cameraFileWritten, cameraFile_, &QLineEdit::setText);
    connect(browse_, &QPushButton::clicked, this, [this] {
        FileRequest r;
        r.title = QStringLiteral("Camera file");
        r.folder = QFileInfo(cameraFile_->text()).absolutePath();
        r.filter = QStringLiteral("Camera file (*.txt);;All files (*)");
        const QString chosen = dialogs.open(this, r);
        if (!chosen.isEmpty())
            cameraFile_->setText(chosen);
    });

    // The receiver: the ports Com Settings offers, then the network sources it offers.
    receiver_ = new QComboBox(this);
    for (const std::string& p : varno::gps::comPortChoices(frame.ports()))
        receiver_->addItem(textFromBytes(p), textFromBytes(p));
    receiver_->addItem(QStringLiteral("gpsd"), kGpsd);
    receiver_->addItem(QStringLiteral("TCP NMEA stream"), kTcp);
    host_ = new QLineEdit(textFromBytes(settings.read(keys::SourceHost).value_or("localhost")), this);
    netPort_ = new QLineEdit(textFromBytes(settings.read(keys::SourcePort).value_or("2947")), this);
    connect(receiver_, &QComboBox::currentIndexChanged, this, &FirstRunPage::showReceiverFields);
    startAlways_ = new QCheckBox(QStringLiteral("Start the &GPS whenever VARNO starts"), this);
    startAlways_->setChecked(true);
    recommended_ = new QCheckBox(QStringLiteral("Recommended for &driving"), this);
    recommended_->setToolTip(
        QStringLiteral("Warn only of cameras ahead, show speeding in red with a chime, coach through "
                       "average-speed zones, scale the view to the window, and take the speed units "
                       "and the time zone from the system"));
    recommended_->setChecked(true);

    auto* form = new QFormLayout;
    // A row of several widgets gets no buddy by itself: the label's key goes to the file name.
    auto* cameraLabel = new QLabel(QStringLiteral("Camera &file"), this);
    cameraLabel->setBuddy(cameraFile_);
    form->addRow(cameraLabel, cameraRow);
    form->addRow(QString(), cameraNote_);
    form->addRow(QStringLiteral("&Receiver"), receiver_);
    form->addRow(QStringLiteral("&Host"), host_);
    form->addRow(QStringLiteral("&Port"), netPort_);
    form->addRow(QString(), startAlways_);
    form->addRow(QString(), recommended_);

    auto* buttons = new QDialogButtonBox(this);
    start_ = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("S&kip"), QDialogButtonBox::RejectRole);
    start_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    showCameraNote();
    showReceiverFields();
}

void FirstRunPage::showCameraNote()
{
    const QFileInfo f(cameraFile_->text());
    cameraNote_->setText(
        f.isFile() ? QString() : QStringLiteral("No camera file there yet: choose one, or convert a list."));
    cameraNote_->setVisible(!f.isFile());
}

void FirstRunPage::showReceiverFields()
{
    const QString kind = receiver_->currentData().toString();
    const bool network = kind == kGpsd || kind == kTcp;
    host_->setEnabled(network);
    netPort_->setEnabled(network);
    if (kind == kGpsd && netPort_->text().trimmed().isEmpty())
        netPort_->setText(QStringLiteral("2947"));
}

void FirstRunPage::applyDrivingProfile()
{
    if (!recommended_->isChecked())
        return;
    frame_.session().applyRecommendedProfile(varno::session::measurementLocale());
    // The menu item follows the view; checking it scales the view and stores the choice again.
    if (auto* scale = frame_.findChild<QAction*>(QStringLiteral("scaleToWindow")))
        scale->setChecked(true);
    else if (CVARNOView* view = frame_.view())
        view->setScaleWithWindow(true);
}

void FirstRunPage::reject()
{
    applyDrivingProfile();
    QDialog::reject();
}

void FirstRunPage::accept()
{
    applyDrivingProfile();
    varno::settings::Settings& settings = frame_.session().settings();
    const QString kind = receiver_->currentData().toString();
    const bool network = kind == kGpsd || kind == kTcp;
    bool ok = settings.write(keys::CameraFile, cameraFile_->text().trimmed().toStdString()) &&
              settings.write(keys::Source, network ? kind.toStdString() : std::string("Serial"));
    if (ok && network)
        ok = settings.write(keys::SourceHost, host_->text().trimmed().toStdString()) &&
             settings.write(keys::SourcePort, netPort_->text().trimmed().toStdString());
    else if (ok && !kind.isEmpty())
        ok = settings.write(keys::Port, kind.toStdString());
    if (ok)
        ok = settings.write(keys::AutoStartGPS, startAlways_->isChecked());
    QDialog::accept();
    if (ok) // else the settings reported it; nothing to start with
        frame_.runCommand(CommandId::RunStart);
}

bool showFirstRunPageIfDue(CMainFrame& frame, const std::function<void(FirstRunPage&)>& run)
{
    varno::session::Session& session = frame.session();
    for (const std::string& failure : session.folderFailures())
        session.prompt().message("Could not make the folder " + failure);
    if (session.settings().read(keys::FirstRunPending) != 1)
        return false;
    FirstRunPage page(frame);
    if (run)
        run(page);
    else
        page.exec();
    // Done with, either way: Skip means the user would rather set things up alone.
    session.settings().write(keys::FirstRunPending, false);
    return true;
}
