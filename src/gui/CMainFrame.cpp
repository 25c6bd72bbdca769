// The main window: menus, toolbars, status bar and keys around the one view.
#include "CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

#include "AutoStartDialog.h"
#include "CVARNOView.h"
#include "ComSettingsDialog.h"
#include "LogCommands.h"
#include "MapScaleDialog.h"
#include "NearCameraListDialog.h"
#include "RecordCommands.h"
#include "ReplayController.h"
#include "SendLogDialog.h"
#include "ShortcutListDialog.h"
#include "SpecsOptionsDialog.h"
#include "SpeedSetupDialog.h"
#include "StartTimeDialog.h"
#include "TimeZoneDialog.h"
#include "ToolbarIcons.h"
#include "TrackLoggingDialog.h"
#include "SerialPortList.h"
#include "session/CommandTable.h"

using namespace varno::session;

namespace {
QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

CMainFrame::CMainFrame(Session& session, QWidget* parent, const varno::gps::SerialPortEnumerator* ports)
    : QMainWindow(parent), session_(session), ports_(ports)
{
    if (!ports_) {
        ownPorts_ = std::make_unique<varno::platform::SerialPortList>();
        ports_ = ownPorts_.get();
    }
    view_ = new CVARNOView(session_, this);
    setCentralWidget(view_);
    buildActions();
    registerHandlers();
    buildMenus();
    buildToolbars();
    buildStatusBar();
    wireReader();
    resize(780, 580);
    if (session_.settings().read(varno::settings::keys::AutoStartSize) == 1) {
        applyNormalRect(cmd::Scr800x600);
        placeOnShow_ = true;
    }
    syncChecks();
    refreshStatus();
    setWindowTitle(QStringLiteral("VARNO"));
    view_->setFocus();
}

CMainFrame::~CMainFrame()
{
    // The reader's callbacks reach this window; they must be over before it goes.
    if (session_.gps().portOpen())
        session_.stopGps();
    session_.gps().reader().stop();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placeOnShow_) {
        placeOnShow_ = false;
        applyNormalRect(cmd::Scr800x600);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    view_->setClosing();
    QMainWindow::closeEvent(event);
}

QKeySequence CMainFrame::keySequence(std::string_view token)
{
    if (token == "Num+")
        return QKeySequence(Qt::KeypadModifier | Qt::Key_Plus);
    if (token == "Num-")
        return QKeySequence(Qt::KeypadModifier | Qt::Key_Minus);
    if (token.size() == 1) {
        // Letters, digits and punctuation: Qt's key codes are their upper-case ASCII codes.
        char c = token[0];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        return QKeySequence(static_cast<int>(c));
    }
    return QKeySequence::fromString(qs(token), QKeySequence::PortableText);
}

void CMainFrame::buildActions()
{
    for (const Command& c : CommandTable::all()) {
        auto* a = new QAction(qs(c.text), this);
        if (!c.shownKey.empty() && c.key.empty())
            a->setText(qs(c.text) + QLatin1Char('\t') + qs(c.shownKey));
        a->setStatusTip(qs(c.prompt));
        a->setCheckable(c.checkable);
        if (!c.key.empty()) {
            a->setShortcut(keySequence(c.key));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = a;
        // Key commands live on the window so their keys work wherever the focus is.
        if (c.menu == Menu::None && !c.key.empty())
            addAction(a);
    }
}

QAction* CMainFrame::action(int id) const
{
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::buildMenus()
{
    for (Menu m : CommandTable::menuBar()) {
        QMenu* menu = menuBar()->addMenu(qs(CommandTable::menuTitle(m)));
        for (const Command& c : CommandTable::menuItems(m)) {
            if (c.separatorBefore)
                menu->addSeparator();
            menu->addAction(actions_.at(c.id));
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::syncChecks);
    }
    // Items of features still to come are there, greyed.
    for (auto& [id, a] : actions_)
        a->setEnabled(hasHandler(id));
}

void CMainFrame::buildToolbars()
{
    fileBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    fileBar_->setObjectName(QStringLiteral("fileToolbar"));
    for (int id : CommandTable::fileToolbar()) {
        QAction* a = actions_.at(id);
        a->setIcon(toolbarIcon(id));
        fileBar_->addAction(a);
    }
    addToolBar(Qt::TopToolBarArea, fileBar_);
    fileBar_->hide();

    varnoBar_ = new QToolBar(QStringLiteral("VARNO Toolbar"), this);
    varnoBar_->setObjectName(QStringLiteral("varnoToolbar"));
    varnoBar_->setMovable(false);
    varnoBar_->setFloatable(false);
    for (int id : CommandTable::varnoToolbar()) {
        if (id == 0) {
            varnoBar_->addSeparator();
            continue;
        }
        QAction* a = actions_.at(id);
        a->setIcon(toolbarIcon(id));
        a->setToolTip(qs(CommandTable::find(id)->text));
        varnoBar_->addAction(a);
    }
    addToolBar(Qt::TopToolBarArea, varnoBar_);
}

void CMainFrame::buildStatusBar()
{
    // Pane 1 shows "Ready", or the prompt of the item under the mouse; the
    // other three show the GPS, the NMEA log and the colour scheme.
    statusBar()->addWidget(new QLabel(QStringLiteral("Ready"), this), 1);
    gpsPane_ = new QLabel(this);
    logPane_ = new QLabel(this);
    schemePane_ = new QLabel(this);
    for (QLabel* l : {gpsPane_, logPane_, schemePane_}) {
        l->setMinimumWidth(70);
        l->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(l);
    }
}

void CMainFrame::showOpening(bool busy, const QString& port)
{
    if (busy) {
        statusBar()->showMessage(QStringLiteral("Opening %1...").arg(port));
        // The open holds the event loop for its waits: draw the message now.
        statusBar()->repaint();
    } else {
        statusBar()->clearMessage();
    }
}

void CMainFrame::refreshStatus()
{
    gpsPane_->setText(session_.gps().portOpen() ? QStringLiteral("GPS on") : QStringLiteral("GPS off"));
    logPane_->setText(session_.nmeaLog().isOpen() ? QStringLiteral("LOG") : QString());
    schemePane_->setText(session_.colours().isNight() ? QStringLiteral("Night") : QStringLiteral("Day"));
}

void CMainFrame::wireReader()
{
    // Both callbacks run on the reader thread: hand them to the UI thread.
    // The destructor stops the reader before the view goes, so the view outlives every call.
    CVARNOView* view = view_;
    session_.gps().setReaderCallbacks({[view] {
                                           if (view)
                                               QMetaObject::invokeMethod(view, "onNewSentence",
                                                                         Qt::QueuedConnection);
                                       },
                                       [this](const std::string& message) {
                                           QMetaObject::invokeMethod(
                                               this,
                                               [this, message] {
                                                   session_.prompt().message(message);
                                                   refreshStatus();
                                               },
                                               Qt::QueuedConnection);
                                       }});
}

void CMainFrame::runCommand(int id)
{
    emit commandRun(id);
    auto it = handlers_.find(id);
    if (it != handlers_.end())
        it->second();
    syncChecks();
    refreshStatus();
}

void CMainFrame::on(std::initializer_list<int> ids, std::function<void()> handler)
{
    for (int id : ids)
        handlers_[id] = handler;
}

void CMainFrame::viewCommand(const std::function<void()>& step)
{
    step();
    setWindowTitle(qs(session_.viewState().title()));
    view_->update();
}

void CMainFrame::applyNormalRect(int id)
{
    const auto r = CommandTable::sizeCommandRect(id);
    if (!r)
        return;
    if (isMaximized() || isMinimized() || isFullScreen())
        showNormal();
    // The rectangle is the whole window, frame included, as a window manager draws it.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    resize(r->right - r->left - frameExtra.width(), r->bottom - r->top - frameExtra.height());
    move(r->left, r->top);
}

void CMainFrame::syncChecks()
{
    action(cmd::ViewToolbar)->setChecked(fileBar_ && !fileBar_->isHidden());
    action(cmd::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    action(cmd::VarnoToolbar)->setChecked(varnoBar_ && !varnoBar_->isHidden());
    action(cmd::TrackEditorView)->setChecked(session_.viewState().isOn(MapView::TrackEditor));
    action(32823)->setChecked(session_.nmeaLog().isOpen());
    action(32826)->setChecked(session_.muted());
}

void CMainFrame::registerCameraHandlers()
{
    // Zoom: the plain keys and buttons redraw when the radius changed; the
    // keypad keys and F3 / F4 redraw whatever happened.
    on({32806, 32822}, [this] {
        if (session_.zoomIn())
            view_->update();
    });
    on({32807, 32821}, [this] {
        if (session_.zoomOut())
            view_->update();
    });
    on({32815, 32834}, [this] {
        session_.zoomIn();
        view_->update();
    });
    on({32816, 32835}, [this] {
        session_.zoomOut();
        view_->update();
    });
    on({32800, 32817, 32808}, [this] { session_.markLocation(); }); // Mark Location
    on({32826, 32824, 32848}, [this] { session_.toggleMute(); });   // Mute
    on({32820}, [this] {                                            // space: the specs line
        session_.spaceKey();
        view_->update();
    });
    on({32787}, [this] { session_.loadCameraFile(); }); // Test: Load camera file
    on({32788}, [this] {                                // Near Camera List
        const auto& fix = session_.decoder();
        NearCameraListDialog dlg(session_.cameraWarner().store.cameras(), fix.Latitude, fix.Longitude, this);
        dlg.exec();
        view_->update();
    });
    on({32790}, [this] { // Map scale
        MapScaleDialog dlg(session_.cameraWarner().scale, this);
        dlg.exec();
        session_.afterMapScaleDialog();
        view_->update();
    });
    on({32798}, [this] { // Specs average speed
        SpecsOptionsDialog dlg(session_.cameraWarner().specs, session_.prompt(), this);
        dlg.exec();
        session_.afterSpecsDialog();
        view_->update();
    });
    on({32796}, [this] { // Track Logging
        TrackLoggingDialog dlg(session_.trackLogging(), this);
        dlg.exec();
        session_.afterTrackDialog();
        view_->update();
    });
}

void CMainFrame::registerHandlers()
{
    // Views: the toggling items and the keys that do the same.
    auto toggle = [this](MapView v) { return [this, v] { viewCommand([&] { session_.toggleView(v); }); }; };
    on({cmd::DisplayPoi, cmd::KeyPoiN}, toggle(MapView::Poi));
    on({cmd::RouteView, cmd::KeyRouteComma}, toggle(MapView::Route));
    on({cmd::CompassView, cmd::KeyCompassF9}, toggle(MapView::Compass));
    on({cmd::PointerView, cmd::KeyPointerDot}, toggle(MapView::Pointer));
    on({cmd::TrailView, cmd::KeyTrailSlash}, toggle(MapView::Trail));
    on({cmd::TrackEditorView, cmd::KeyTrackEditorT}, toggle(MapView::TrackEditor));
    on({cmd::CameraMap, cmd::KeyCameraMapF6, cmd::KeyCameraMapB},
       [this] { viewCommand([this] { session_.showCameraMap(); }); });
    on({cmd::KeyPoiF7}, [this] { viewCommand([this] { session_.showPoiAlways(); }); });
    on({cmd::KeyRouteF8}, [this] { viewCommand([this] { session_.showRouteAlways(); }); });
    on({cmd::NextViewV, cmd::NextViewF5}, [this] {
        viewCommand([this] { session_.nextView(); });
        view_->repaint();
    });

    // GPS.
    on({cmd::RunStart, cmd::KeyStartS, cmd::ToolStart}, [this] { session_.startGps(); });
    on({cmd::RunStop, cmd::KeyStopE, cmd::ToolStop}, [this] { session_.stopGps(); });

    registerCameraHandlers();

    // Colours repaint at once.
    on({cmd::DayColours, cmd::ToolDay}, [this] {
        session_.loadDayColours();
        view_->repaint();
    });
    on({cmd::NightColours, cmd::ToolNight}, [this] {
        session_.loadNightColours();
        view_->repaint();
    });

    // Window size and bars.
    for (int id : {cmd::Scr600x480, cmd::Scr800x600, cmd::Scr800x700, cmd::Tool800x600, cmd::Key600x480,
                   cmd::Key800x600, cmd::Key800x700})
        on({id}, [this, id] { applyNormalRect(id); });
    on({cmd::ViewToolbar}, [this] { fileBar_->setVisible(fileBar_->isHidden()); });
    on({cmd::ViewStatusBar}, [this] { statusBar()->setVisible(statusBar()->isHidden()); });
    on({cmd::VarnoToolbar}, [this] { varnoBar_->setVisible(varnoBar_->isHidden()); });

    // Dialogs.
    on({cmd::CommSettings}, [this] {
        ComSettingsDialog dlg(session_.settings(), *ports_, this);
        dlg.exec();
        view_->update();
    });
    on({cmd::TimeZone}, [this] {
        TimeZoneDialog dlg(session_.settings(), this);
        if (dlg.exec() == QDialog::Accepted)
            session_.reloadUnits();
        view_->update();
    });
    on({cmd::Speed}, [this] {
        SpeedSetupDialog dlg(session_.settings(), this);
        if (dlg.exec() == QDialog::Accepted)
            session_.reloadUnits();
        view_->update();
    });
    on({cmd::AutoStart}, [this] {
        AutoStartDialog dlg(session_.settings(), this);
        dlg.exec();
    });
    on({cmd::StartTime}, [this] {
        StartTimeDialog dlg(session_.settings(), routeFolder_, this);
        dlg.exec();
    });
    on({cmd::ShortcutList}, [this] {
        ShortcutListDialog dlg(this);
        dlg.exec();
    });
    on({cmd::CheckRegistry}, [this] {
        session_.checkRegistry();
        view_->update();
    });
    on({32785}, [this] { // Test: Do a ondraw
        session_.doOnDraw();
        view_->repaint();
    });
    // NMEA log, replay and send log.
    auto* logCommands = new LogCommands(session_, this);
    on({32823}, [logCommands] { logCommands->logNmeaData(); });
    auto* replay = new ReplayController(session_, view_, this);
    on({32873}, [replay] { replay->runDialog(); });
    on({32874}, [replay] { replay->escape(); });
    on({32794}, [this] {
        SendLogDialog dlg(session_.settings(), session_.prompt(), this);
        dlg.exec();
    });
    // The record file.
    auto* record = new RecordCommands(session_, view_, this);
    on({cmd::FileOpen}, [record] { record->open(); });
    on({cmd::FileSave}, [record] { record->save(); });
    on({cmd::FileSaveAs}, [record] { record->saveAs(); });
    on({cmd::AppExit}, [this] { close(); });
    on({cmd::AppAbout}, [this] {
        QMessageBox::about(this, QStringLiteral("About VARNO"),
                           QStringLiteral("VARNO\nSafety-camera warner and GPS tool for Linux."));
    });
}
