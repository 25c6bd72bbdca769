// The main window: menus, toolbars, status bar and keys around the one view.
#include "gui/frame/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWindow>
#include <utility>

#include "gui/Features.h"
#include "gui/frame/CVARNOView.h"
#include "gui/frame/WindowLook.h"
#include "gui/gps/ReceiverStatus.h"
#include "gui/paint/ToolbarIcons.h"
#include "SerialPortList.h"
#include "session/Mnemonics.h"

using namespace varno::session;

namespace {
QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Pane 1's "Ready": only while no message is up and no port is opening. The bar itself hides it
// for a message only while the bar is on screen, and a port that opens as the window comes up
// (the view's first show starts the GPS) says "Opening ..." before the bar is shown; a menu
// item's prompt, gone again, would bring "Ready" back beside the GPS pane's "Opening ...".
class ReadyPane : public QLabel {
public:
    explicit ReadyPane(QWidget* parent) : QLabel(QStringLiteral("Ready"), parent)
    {
        setObjectName(QStringLiteral("readyPane"));
    }
    void setMessageUp(bool up)
    {
        messageUp_ = up;
        setVisible(!messageUp_ && !opening_);
    }
    void setOpening(bool opening)
    {
        opening_ = opening;
        setVisible(!messageUp_ && !opening_);
    }

private:
    bool messageUp_ = false, opening_ = false;
};
} // namespace

CMainFrame::CMainFrame(Session& session, QWidget* parent, const varno::gps::SerialPortEnumerator* ports)
    : QMainWindow(parent), session_(session), ports_(ports)
{
    if (!ports_) {
        ownPorts_ = std::make_unique<varno::platform::SerialPortList>();
        ports_ = ownPorts_.get();
    }
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(300);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { placeAgainIfTheFrameChanged(true); });
    view_ = new CVARNOView(session_, this);
    setCentralWidget(view_);
    buildActions();
    buildToolbars();
    buildStatusBar();
    // Each feature adds its own commands.
    registerFeatures(*this);
    buildMenus();
    addScaleItem(*menu(Menu::View), *view_, session_.settings());
    wireReader();
    resize(780, 580);
    if (session_.settings().read(varno::settings::keys::AutoStartSize) == 1)
        applyNormalRect(CommandId::Scr800x600);
    syncChecks();
    refreshStatus();
    setWindowTitle(QStringLiteral("VARNO"));
    view_->setFocus();
}

CMainFrame::~CMainFrame()
{
    // The reader's callbacks reach this window; they must be over before it goes.
    if (session_.gpsRunning())
        session_.stopGps();
    session_.gps().reader().stop();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The view's first show has run the start-up actions (the night timer among them).
    refreshStatus();
    placeAgainIfTheFrameChanged();
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    placeAgainIfTheFrameChanged();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeAgainIfTheFrameChanged();
}

void CMainFrame::placeAgainIfTheFrameChanged(bool settled)
{
    const QWindow* w = windowHandle();
    if (!placed_ || !w || !w->handle())
        return;
    // Maximised or made full screen since: that state rules now.
    if (windowState() != Qt::WindowNoState) {
        placed_.reset();
        return;
    }
    if (w->frameMargins() != placed_->frame)
        applyNormalRect(placed_->id);
    else if (settled)
        placed_.reset();
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
        // The prompt is the tooltip too, on a button and in a menu; the text where there is none.
        a->setToolTip(c.prompt.empty() ? QString(qs(c.text)).remove(QLatin1Char('&')) : qs(c.prompt));
        a->setCheckable(c.checkable);
        if (!c.key.empty()) {
            a->setShortcut(keySequence(c.key));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        const CommandId id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = a;
        // Key commands live on the window so their keys work wherever the focus is.
        if (c.menu == Menu::None && !c.key.empty())
            addAction(a);
    }
}

QAction* CMainFrame::action(CommandId id) const
{
    return actions_.at(id);
}

void CMainFrame::buildMenus()
{
    // Every title and item gets a mnemonic; the table's own are kept, the
    // others take a free letter of their menu (shown here only, the table's texts stay).
    std::vector<std::string_view> titles;
    for (Menu m : CommandTable::menuBar())
        titles.push_back(CommandTable::menuTitle(m));
    const std::vector<std::string> shownTitles = withMnemonics(titles);
    std::size_t t = 0;
    for (Menu m : CommandTable::menuBar()) {
        QMenu* menu = menuBar()->addMenu(qs(shownTitles[t++]));
        menu->setToolTipsVisible(true);
        menus_[m] = menu;
        const auto items = CommandTable::menuItems(m);
        std::vector<std::string_view> texts;
        for (const Command& c : items)
            texts.push_back(c.text);
        const std::vector<std::string> shown = withMnemonics(texts);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Command& c = items[i];
            if (c.separatorBefore)
                menu->addSeparator();
            QAction* a = actions_.at(c.id);
            const int tab = a->text().indexOf(QLatin1Char('\t'));
            a->setText(qs(shown[i]) + (tab >= 0 ? a->text().mid(tab) : QString()));
            menu->addAction(a);
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
    for (CommandId id : CommandTable::fileToolbar()) {
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
    for (const std::optional<CommandId>& id : CommandTable::varnoToolbar()) {
        if (!id) {
            varnoBar_->addSeparator();
            continue;
        }
        QAction* a = actions_.at(*id);
        a->setIcon(toolbarIcon(*id));
        varnoBar_->addAction(a);
    }
    addToolBar(Qt::TopToolBarArea, varnoBar_);
}

void CMainFrame::buildStatusBar()
{
    // Pane 1 shows "Ready", or the prompt of the item under the mouse; the
    // other three show the GPS, the NMEA log and the colour scheme.
    auto* ready = new ReadyPane(this);
    statusBar()->addWidget(ready, 1);
    connect(statusBar(), &QStatusBar::messageChanged, ready,
            [ready](const QString& message) { ready->setMessageUp(!message.isEmpty()); });
    gpsPane_ = new QLabel(this);
    logPane_ = new QLabel(this);
    schemePane_ = new QLabel(this);
    for (QLabel* l : {gpsPane_, logPane_, schemePane_}) {
        l->setMinimumWidth(70);
        l->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(l);
    }
    // A message longer than pane 1 is cut where the other panes begin; resting
    // the pointer on the status bar shows the whole of it.
    connect(statusBar(), &QStatusBar::messageChanged, statusBar(), &QWidget::setToolTip);
    gpsPane_->setObjectName(QStringLiteral("gpsPane"));
    receiver_ = new ReceiverStatus(session_, gpsPane_, statusBar(), this);
    connect(view_, &CVARNOView::sentenceTaken, receiver_, &ReceiverStatus::sentenceTaken);
}

void CMainFrame::showOpening(bool busy, const QString& port)
{
    if (busy) {
        statusBar()->showMessage(QStringLiteral("Opening %1...").arg(port));
        // An open on the calling thread holds the event loop for its waits: draw the message now.
        statusBar()->repaint();
    } else {
        statusBar()->clearMessage();
    }
    static_cast<ReadyPane*>(findChild<QLabel*>(QStringLiteral("readyPane")))->setOpening(busy);
    // Another Start while the port opens would change nothing: its result is on the way.
    for (CommandId id : {CommandId::RunStart, CommandId::KeyStartS, CommandId::ToolStart})
        action(id)->setEnabled(!busy && hasHandler(id));
    refreshStatus();
}

void CMainFrame::syncStart()
{
    // Start is greyed while the port is open or opening: Stop comes first.
    const bool running = session_.gpsRunning();
    for (CommandId id : {CommandId::RunStart, CommandId::KeyStartS, CommandId::ToolStart})
        action(id)->setEnabled(!running && hasHandler(id));
}

void CMainFrame::refreshStatus()
{
    syncStart();
    receiver_->refresh();
    logPane_->setText(session_.nmeaLog().isOpen() ? QStringLiteral("LOG") : QString());
    schemePane_->setText(session_.colours().isNight() ? QStringLiteral("Night") : QStringLiteral("Day"));
    applyNightPalette(session_.colours().isNight());
}

void CMainFrame::wireReader()
{
    // The callbacks run on the reader thread: hand them to the UI thread.
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
                                       },
                                       [this](const std::string& message) {
                                           // The log is closed already; the GPS goes on.
                                           QMetaObject::invokeMethod(
                                               this,
                                               [this, message] {
                                                   statusBar()->showMessage(QString::fromStdString(message));
                                                   session_.prompt().message(message);
                                                   syncChecks();
                                                   refreshStatus();
                                               },
                                               Qt::QueuedConnection);
                                       },
                                       [this](const std::string& message) { showReaderStatus(message); },
                                       [this](const std::string& message) { showReaderStatus(message); }});
}

void CMainFrame::showReaderStatus(const std::string& message)
{
    // Waiting for an unplugged device, and its return: the status bar only,
    // as nothing needs the user's answer.
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            statusBar()->showMessage(QString::fromStdString(message));
            refreshStatus();
        },
        Qt::QueuedConnection);
}

void CMainFrame::runCommand(CommandId id)
{
    emit commandRun(id);
    auto it = handlers_.find(id);
    if (it != handlers_.end())
        it->second();
    syncChecks();
    refreshStatus();
}

void CMainFrame::on(std::initializer_list<CommandId> ids, std::function<void()> handler)
{
    for (CommandId id : ids)
        handlers_[id] = handler;
}

void CMainFrame::checkedWhen(CommandId id, std::function<bool()> isChecked)
{
    checks_[id] = std::move(isChecked);
}

void CMainFrame::applyNormalRect(CommandId id)
{
    const auto r = CommandTable::sizeCommandRect(id);
    if (!r)
        return;
    // The rectangle is the whole window, frame and title bar included.
    const QRect outer(QPoint(r->left, r->top), QSize(r->right - r->left, r->bottom - r->top));
    // A maximised or full-screen window is restored first: placed while so, its
    // size would not stick and its frame (often none) would not be the normal one.
    if (isMaximized() || isMinimized() || isFullScreen())
        showNormal();
    const QWindow* w = windowHandle();
    if (!w || !w->handle()) {
        // Not on screen yet: a position given now is the frame's, and the window
        // is made so that the window manager keeps it that way. The frame's size
        // is known once shown; the window is placed again then.
        resize(outer.size());
        move(outer.topLeft());
        placed_ = Placement{id, QMargins()};
        return;
    }
    // The frame as the window system has it now, not as last seen: it changes
    // with the window's state. A window manager tells it a little after the
    // window is shown or restored; the window is placed again if it then
    // turns out different.
    const QMargins frame = w->frameMargins();
    placed_ = Placement{id, frame};
    setGeometry(outer.marginsRemoved(frame));
    // A frame that changes without moving or resizing the window (a restored
    // window getting its borders back) is caught by a last look a little later.
    settleTimer_.start();
}

void CMainFrame::syncChecks()
{
    for (const auto& [id, isChecked] : checks_)
        action(id)->setChecked(isChecked());
}
