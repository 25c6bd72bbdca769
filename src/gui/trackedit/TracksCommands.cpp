// Tracks menu: the track editor's map file, its tracks, the edited track, the
// backgrounds and the display toggles, and Undo/Redo while the editor is shown.
#include "gui/trackedit/TracksCommands.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/DataPath.h"
#include "gui/convert/ConvertRunner.h"
#include "gui/frame/CMainFrame.h"
#include "gui/frame/CVARNOView.h"
#include "gui/trackedit/TrackListDialogs.h"
#include "session/Session.h"
#include "trackedit/Editor.h"

using varno::session::CommandId;
using varno::trackedit::Editor;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

const QString kTextFilter = QStringLiteral("Text (*.txt)");

} // namespace

TracksCommands::TracksCommands(varno::session::Session& session, QWidget* window)
    : QObject(window), session_(session), window_(window)
{
    setObjectName(QStringLiteral("tracksCommands"));
    session_.trackEditor().chooseMapPath = [this](const std::string& proposed) -> std::optional<std::string> {
        FileRequest r;
        r.title = QStringLiteral("SaveAs - Track Editor Map File");
        r.folder = tracksFolder();
        r.proposedName = qs(proposed);
        r.filter = kTextFilter;
        r.defaultSuffix = QStringLiteral("txt");
        r.confirmOverwrite = false; // the editor asks
        const QString chosen = dialogs.save(window_, r);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen.toStdString();
    };
}

QString TracksCommands::tracksFolder() const
{
    return qs(varno::mapDataPath("C:\\VARNO\\Tracks\\", session_.dataRoot()));
}

void TracksCommands::newMap()
{
    Editor& editor = session_.trackEditor();
    if (editor.newMap())
        description();
}

void TracksCommands::openMap()
{
    FileRequest r;
    r.title = QStringLiteral("Open - Track Editor Map File");
    r.folder = tracksFolder();
    r.filter = kTextFilter;
    r.defaultSuffix = QStringLiteral("txt");
    const QString chosen = dialogs.open(window_, r);
    if (!chosen.isEmpty())
        session_.trackEditor().openMap(chosen.toStdString());
}

void TracksCommands::saveMap()
{
    session_.trackEditor().saveMap();
}

void TracksCommands::saveMapAs()
{
    session_.trackEditor().saveMapAs();
}

void TracksCommands::closeMap()
{
    session_.trackEditor().closeMap();
}

void TracksCommands::description()
{
    Editor& editor = session_.trackEditor();
    if (!editor.store()) {
        session_.prompt().message(
            "You must open or create a new track editor map file\nbefore you can set it's description.");
        return;
    }
    const std::string current = editor.store()->description.value_or(std::string());
    std::optional<std::string> text;
    if (askDescription) {
        text = askDescription(current);
    } else {
        bool ok = false;
        const QString t = QInputDialog::getText(
            window_, QStringLiteral("Tracks Map Description"),
            QStringLiteral("Enter a single line description for the new tracks map file and click OK ."),
            QLineEdit::Normal, qs(current), &ok);
        if (ok)
            text = t.toStdString();
    }
    if (text)
        editor.setDescription(*text);
}

void TracksCommands::addRemoveTracks()
{
    if (!session_.trackEditor().store()) {
        session_.prompt().message(
            "You must open or create a new track editor map file\nbefore you can add tracks to it.");
        return;
    }
    addRemoveTracksDialog(session_, window_, dialogs);
}

void TracksCommands::visibleTracks()
{
    Editor& editor = session_.trackEditor();
    if (!editor.store()) {
        session_.prompt().message("You must open or create a track editor map file\nbefore you can choose "
                                  "which tracks to display.");
        return;
    }
    visibleTracksDialog(session_, window_);
    editor.fitAllTracks();
}

void TracksCommands::editTrack()
{
    Editor& editor = session_.trackEditor();
    if (!editor.beginEditTrack())
        return;
    const std::optional<std::pair<std::string, std::string>> choice =
        chooseTrack ? chooseTrack() : selectTrackDialog(window_, editor);
    if (!choice)
        return;
    editor.openEditedTrack(choice->first, choice->second);
}

void TracksCommands::saveEditedTrack()
{
    Editor& editor = session_.trackEditor();
    if (!editor.canSaveEditedTrack())
        return;
    FileRequest r;
    r.title = QStringLiteral("SaveAs - Track File - Choose the output file");
    r.folder = tracksFolder();
    r.proposedName = QStringLiteral("NewNMEATrack.txt");
    r.filter = kTextFilter;
    r.defaultSuffix = QStringLiteral("txt");
    r.confirmOverwrite = false; // the editor asks
    const QString chosen = dialogs.save(window_, r);
    if (!chosen.isEmpty())
        editor.saveEditedTrackTo(chosen.toStdString());
}

void TracksCommands::closeEditedTrack()
{
    session_.trackEditor().closeEditedTrackCommand();
}

void TracksCommands::refreshRate()
{
    Editor& editor = session_.trackEditor();
    QDialog dlg(window_);
    dlg.setObjectName(QStringLiteral("refreshRate"));
    dlg.setWindowTitle(QStringLiteral("Show Position Screen Refresh Rate"));
    auto* layout = new QVBoxLayout(&dlg);
    for (const char* text : {"The Show Position screen refresh rate is dependent on the baud rate that your "
                             "comms is using.  The screen "
                             "refreshes less often at higher baud rates to allow your PC processor more time "
                             "to read your GPS NMEA "
                             "strings.",
                             "After you have started your comms you can use this dialog to tweak the screen "
                             "refresh rate.  Enter 2400 "
                             "for a screen refresh every NMEA string.  4800 for a screen refresh every two "
                             "strings.  The higher the "
                             "number you enter the less the screen refreshes.",
                             "If your position does not update it probably means that you need to enter a "
                             "higher value.  If the screen "
                             "never redraws then you have set too high a value.",
                             "The number you enter here only effects the screen refresh rate and not your PC "
                             "comm port rate.  The "
                             "screen refresh rate here only applies when you are using Show Position."}) {
        auto* label = new QLabel(QString::fromLatin1(text));
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* value = new QSpinBox(&dlg);
    value->setObjectName(QStringLiteral("rate"));
    value->setRange(0, 100000000);
    value->setValue(static_cast<int>(editor.refreshRate));
    layout->addWidget(value);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(box);
    QObject::connect(box, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() == QDialog::Accepted)
        editor.refreshRate = std::max(300, value->value());
}

namespace {

using Loader = varno::trackedit::LoadReport (*)(const std::string&,
                                                std::vector<varno::trackedit::TrackEntry>&,
                                                const varno::trackedit::LoadProgress&);

// Runs a loader off the UI thread with progress and Cancel, then hands its
// entries to the editor; a failed load shows why.
void runLoader(varno::session::Session& session, QWidget* window, const QString& title, Loader loader,
               const std::string& path)
{
    std::vector<varno::trackedit::TrackEntry> entries;
    varno::trackedit::LoadReport load;
    const varno::Report report = runConversion(window, title, [&](varno::Progress& progress) {
        load = loader(path, entries,
                      [&](std::uint64_t done, std::uint64_t total) { return progress.update(done, total); });
        if (load.cancelled) {
            varno::Report r;
            r.status = varno::Report::Status::Cancelled;
            return r;
        }
        if (load.error)
            return varno::Report::failed(*load.error);
        varno::Report r;
        r.message = load.message;
        return r;
    });
    if (report.status == varno::Report::Status::Cancelled)
        return;
    // What loaded before a failure stays, as it does for the map file's tracks.
    session.trackEditor().appendEntries(std::move(entries));
    if (!report.message.empty())
        session.prompt().message(report.message);
}

// The texts of one of the two loading dialogs.
struct LoaderDialog {
    const char* noMap;      // without an open map file
    const char* objectName; // for tests
    const char* title;
    const char* fileLabel;
    const char* loadButton;
    std::vector<const char*> texts;
    const char* chooseFirst; // Load with no file name
    const char* progressTitle;
    Loader loader;
};

// A source file box with Browse, a load button usable again and again (every
// load appends), and OK; the view is fitted to everything loaded at the end.
void runLoaderDialog(varno::session::Session& session, QWidget* window, FileDialogs& dialogs,
                     const LoaderDialog& d)
{
    Editor& editor = session.trackEditor();
    if (!editor.store()) {
        session.prompt().message(d.noMap);
        return;
    }
    QDialog dlg(window);
    dlg.setObjectName(QString::fromLatin1(d.objectName));
    dlg.setWindowTitle(QString::fromLatin1(d.title));
    auto* layout = new QVBoxLayout(&dlg);
    for (const char* text : d.texts) {
        auto* label = new QLabel(QString::fromLatin1(text));
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addWidget(new QLabel(QString::fromLatin1(d.fileLabel)));
    auto* row = new QHBoxLayout;
    auto* pathEdit = new QLineEdit(&dlg);
    pathEdit->setObjectName(QStringLiteral("path"));
    pathEdit->setMinimumWidth(420);
    row->addWidget(pathEdit);
    QPushButton* browse = addDialogButton(row, QStringLiteral("Browse"), "browse");
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    QPushButton* load = addDialogButton(buttons, QString::fromLatin1(d.loadButton), "load");
    QPushButton* ok = addDialogButton(buttons, QStringLiteral("OK"), "ok");
    ok->setDefault(true); // Enter closes, as OK does
    layout->addLayout(buttons);
    QObject::connect(browse, &QPushButton::clicked, &dlg, [&] {
        FileRequest r;
        r.title = QStringLiteral("Open");
        r.filter = qtFileFilter("All files *.*|*.*||");
        r.proposedName = pathEdit->text();
        const QString chosen = dialogs.open(&dlg, r);
        if (!chosen.isEmpty())
            pathEdit->setText(chosen);
    });
    QObject::connect(load, &QPushButton::clicked, &dlg, [&] {
        if (pathEdit->text().isEmpty()) {
            session.prompt().message(d.chooseFirst);
            return;
        }
        runLoader(session, &dlg, QString::fromLatin1(d.progressTitle), d.loader,
                  pathEdit->text().toStdString());
    });
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    dlg.exec();
    editor.fitAllTracks();
}

} // namespace

void TracksCommands::loadJosmGpx()
{
    runLoaderDialog(session_, window_, dialogs,
                    {"You must open or create a new track editor map file\nbefore you can load an "
                     "additional\nJosm gpx track file.",
                     "loadJosmGpx",
                     "Load JOSM GPX track",
                     "JOSM GPX track source file.",
                     "Load GPX",
                     {"Loads a multi section JOSM GPX or other GPX track file into the track editor.  The "
                      "tracks will be displayed but can not be editted.  Select a file and then click 'Load "
                      "GPX' to load it.  Click 'OK' to close the dialog."},
                     "Please choose a JOSM gpx track file.",
                     "Loading JOSM GPX",
                     &varno::trackedit::loadJosmGpx});
}

void TracksCommands::loadOsm()
{
    runLoaderDialog(session_, window_, dialogs,
                    {"You must open or create a new track editor map file\nbefore you can load an "
                     "additional\nOSM file.",
                     "loadOsm",
                     "Load OSM file",
                     "OSM source file.",
                     "Load OSM file",
                     {"Loads an  OSM file.   The tracks will be displayed but can not be editted.",
                      "Select an OSM file and click the Load OSM file button.  Large files may take a few "
                      "minutes to load.  You can repeat the process to load several files.  When finished "
                      "click OK to close the dialog window ."},
                     "Please choose a osm file.",
                     "Loading OSM",
                     &varno::trackedit::loadOsm});
}

void TracksCommands::loadSrtm()
{
    FileRequest r;
    r.title = QStringLiteral("Open - SRTM 3 arc-second topological height file");
    r.folder = qs(varno::mapDataPath("C:\\VARNO\\STRM\\", session_.dataRoot()));
    r.filter = qtFileFilter("SRTM (*.hgt)|*.hgt||");
    r.defaultSuffix = QStringLiteral("hgt");
    const QString chosen = dialogs.open(window_, r);
    if (chosen.isEmpty())
        return;
    std::optional<varno::trackedit::SrtmLayer> layer;
    std::string message;
    const std::string path = chosen.toStdString();
    const varno::Report report =
        runConversion(window_, QStringLiteral("Loading SRTM"), [&](varno::Progress&) {
            layer = varno::trackedit::loadSrtmLayer(path, message);
            return layer ? varno::Report{}
                         : varno::Report::failed(message.empty() ? "Error can't open source file\n" + path
                                                                 : message);
        });
    // A background already shown stays when another file fails to load.
    if (layer)
        session_.trackEditor().setSrtm(std::move(layer));
    else
        session_.prompt().message(report.message);
}

void TracksCommands::unloadSrtm()
{
    session_.trackEditor().setSrtm(std::nullopt);
}

bool TracksCommands::mayClose()
{
    return session_.trackEditor().closeOnShutdown();
}

namespace {

// Asks about unsaved editor work before the window closes.
class CloseGuard final : public QObject {
public:
    CloseGuard(TracksCommands* commands, QObject* parent) : QObject(parent), commands_(commands) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && watched == parent() && !commands_->mayClose()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    TracksCommands* commands_;
};

} // namespace

void registerTracksCommands(CMainFrame& frame)
{
    auto* commands = new TracksCommands(frame.session(), &frame);
    varno::session::Session& session = frame.session();
    CVARNOView* view = frame.view();
    Editor& editor = session.trackEditor();
    const auto bind = [&frame, commands, view](CommandId id, void (TracksCommands::*fn)()) {
        frame.on({id}, [commands, view, fn] {
            (commands->*fn)();
            view->update();
        });
    };
    bind(CommandId::TracksNew, &TracksCommands::newMap);
    bind(CommandId::TracksOpen, &TracksCommands::openMap);
    bind(CommandId::TracksSave, &TracksCommands::saveMap);
    bind(CommandId::TracksSaveAs, &TracksCommands::saveMapAs);
    bind(CommandId::TracksClose, &TracksCommands::closeMap);
    bind(CommandId::TracksDescription, &TracksCommands::description);
    bind(CommandId::TracksAddRemove, &TracksCommands::addRemoveTracks);
    bind(CommandId::TracksVisible, &TracksCommands::visibleTracks);
    bind(CommandId::TracksEditTrack, &TracksCommands::editTrack);
    bind(CommandId::TracksSaveEdited, &TracksCommands::saveEditedTrack);
    bind(CommandId::TracksCloseEdited, &TracksCommands::closeEditedTrack);
    bind(CommandId::TracksRefreshRate, &TracksCommands::refreshRate);
    bind(CommandId::TracksLoadJosmGpx, &TracksCommands::loadJosmGpx);
    bind(CommandId::TracksLoadOsm, &TracksCommands::loadOsm);
    bind(CommandId::TracksLoadSrtm, &TracksCommands::loadSrtm);
    bind(CommandId::TracksUnloadSrtm, &TracksCommands::unloadSrtm);

    // The toggles flip their flag, redraw, and show a check mark while on.
    const auto toggle = [&frame, &editor, view](CommandId id, bool& flag) {
        frame.on({id}, [&editor, &flag, view] {
            flag = !flag;
            editor.redraw();
            view->update();
        });
        frame.checkedWhen(id, [&flag] { return flag; });
    };
    toggle(CommandId::TracksShowLocation, editor.showLocation);
    toggle(CommandId::TracksShowIcons, editor.displayFlags.icons);
    toggle(CommandId::TracksShowNodeNames, editor.displayFlags.nodeNames);
    toggle(CommandId::TracksShowRoadNames, editor.displayFlags.roadNames);
    toggle(CommandId::TracksShowRoadRef, editor.displayFlags.roadRef);

    // Undo and redo of the editor's edits, while the editor is shown.
    const auto inEditor = [&session] {
        return session.viewState().current() == varno::views::MapView::TrackEditor;
    };
    const auto shortcut = [&frame, view, inEditor](const QKeySequence& keys, bool (Editor::*fn)(),
                                                   Editor& e) {
        auto* s = new QShortcut(keys, &frame);
        s->setObjectName(keys.toString());
        QObject::connect(s, &QShortcut::activated, &frame, [&e, fn, view, inEditor] {
            if (inEditor() && (e.*fn)())
                view->update();
        });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &Editor::undo, editor);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &Editor::redo, editor);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &Editor::redo, editor);

    frame.installEventFilter(new CloseGuard(commands, &frame));
}
