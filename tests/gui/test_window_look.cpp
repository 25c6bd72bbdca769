// The view scaled to the window, the night palette on the whole window, mnemonics and tooltips.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <set>

#include "gui/frame/WindowLook.h"
#include "gui/support/QtPrompt.h"
#include "GuiFixture.h"
#include "session/CommandTable.h"
#include "session/Mnemonics.h"
#include "views/CameraViewLayout.h"

using namespace varno::session;
using namespace varno::views;
namespace keys = varno::settings::keys;

namespace {

// The camera view after one sentence, at w x h, scaled or not.
QImage cameraView(guitest::Rig& rig, CVARNOView& view, int w, int h, bool scaled)
{
    view.setScaleWithWindow(scaled);
    view.resize(w, h);
    rig.session->road().mailbox().offer(guitest::rmc(30.0));
    return guitest::render(view);
}

bool isDark(const QColor& c)
{
    return c.lightness() < 80;
}

// Relative luminance (sRGB, 0 black .. 1 white) and the contrast ratio of two colours.
double luminance(const QColor& c)
{
    const auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestWindowLook : public QObject {
    Q_OBJECT

private slots:
    // Scaled 2x into a wider window, every box and label of the camera view keeps its place and
    // colours at twice the size, centred between letterbox bars of the window fill; off, a large
    // window shows the layout at 1:1 in its top left corner as before.
    void scaledPaintKeepsTheLayoutsProportions()
    {
        guitest::Rig rig;
        placeCameras(rig, {{300.0, 0.0, "GATSO"}});
        CVARNOView view(*rig.session);
        const QImage ref = cameraView(rig, view, kLayoutWidth, kLayoutHeight, true);
        QVERIFY(view.lastScale().identity());
        const QImage big = cameraView(rig, view, 1600, 1020, true);
        QCOMPARE(view.lastScale().factor, 2.0);
        QCOMPARE(view.lastScene().all<FillItem>().front()->rect, (Rect{0, 0, kLayoutWidth, kLayoutHeight}));
        auto scaled = [](int x, int y) { return QPoint(20 + 2 * x + 1, 2 * y + 1); };
        int probes = 0;
        for (const BoxSpec& b : kCameraViewBoxes) {
            const QPoint inside(b.rect.left + 2, b.rect.top + 2), frame(b.rect.left, b.rect.top + 2);
            for (QPoint p : {inside, frame}) {
                QVERIFY2(big.pixelColor(scaled(p.x(), p.y())) == ref.pixelColor(p),
                         qPrintable(QStringLiteral("box %1 at %2,%3").arg(int(b.id)).arg(p.x()).arg(p.y())));
                ++probes;
            }
        }
        QCOMPARE(probes, 38);
        // The letterbox, left and right, in the window fill.
        const QColor fill = ref.pixelColor(kLayoutWidth - 2, kLayoutHeight - 2);
        QCOMPARE(big.pixelColor(5, 500), fill);
        QCOMPARE(big.pixelColor(1600 - 5, 500), fill);
        QVERIFY(big.pixelColor(5, 500) != ref.pixelColor(2, 2 + 123));
        // The map's labels (texts without a background box, clipped to the map) stay where they
        // were, only larger. Drawn from their 1:1 layout they landed at their 1:1 place and size.
        int labels = 0;
        for (const TextItem* t : view.lastScene().all<TextItem>()) {
            if (t->background != kNoColour)
                continue;
            // The columns of the label's cell with light ink, first and last, in layout pixels.
            auto extent = [t](const QImage& img, int factor, int dx) {
                int first = 1 << 20, last = -1;
                for (int x = t->x * factor;
                     x < std::min<int>(t->clip.right, t->x + t->cellHeight * int(t->text.size())) * factor;
                     ++x)
                    for (int y = t->y * factor; y < (t->y + t->cellHeight) * factor; ++y)
                        if (img.pixelColor(x + dx, y).lightness() > 128) {
                            first = std::min(first, x / factor);
                            last = std::max(last, x / factor);
                        }
                return std::pair(first, last);
            };
            const auto one = extent(ref, 1, 0), two = extent(big, 2, 20);
            QVERIFY2(one.second > one.first, t->text.c_str());
            QVERIFY2(std::abs(two.first - one.first) <= 2 && std::abs(two.second - one.second) <= 2,
                     qPrintable(QStringLiteral("%1: %2..%3 scaled, %4..%5 at 1:1")
                                    .arg(QString::fromStdString(t->text))
                                    .arg(two.first)
                                    .arg(two.second)
                                    .arg(one.first)
                                    .arg(one.second)));
            ++labels;
        }
        QCOMPARE(labels, 2); // the camera's letter and the map radius

        const QImage plain = cameraView(rig, view, 1600, 1020, false);
        QVERIFY(view.lastScale().identity());
        QCOMPARE(view.lastScene().all<FillItem>().front()->rect, (Rect{0, 0, 1600, 1020}));
        for (const BoxSpec& b : kCameraViewBoxes)
            QCOMPARE(plain.pixelColor(b.rect.left + 2, b.rect.top + 2),
                     ref.pixelColor(b.rect.left + 2, b.rect.top + 2));
    }

    // A click in the scaled window reaches the view as the layout pixel under it, letterbox
    // included (outside the layout); the editor, which lays itself out, gets window pixels.
    void clicksGoBackThroughTheScale()
    {
        guitest::Rig rig;
        CVARNOView view(*rig.session);
        view.setScaleWithWindow(true);
        view.resize(1600, 1020);
        guitest::render(view);
        struct Case {
            QPointF at;
            int x, y;
        } cases[] = {{{21.5, 1.5}, 0, 0}, {{10, 10}, -5, 5}, {{1579, 1019}, 779, 509}};
        for (const Case& c : cases) {
            QMouseEvent e(QEvent::MouseButtonPress, c.at, c.at, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
            const PointerEvent p = view.pointerEvent(e, PointerEvent::Kind::Press);
            QCOMPARE(p.button, PointerEvent::Button::Left);
            QCOMPARE(QPoint(p.x, p.y), QPoint(c.x, c.y));
        }
        rig.session->toggleView(MapView::TrackEditor);
        guitest::render(view);
        QVERIFY(view.lastScale().identity());
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(1500, 1000), QPointF(1500, 1000), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        const PointerEvent p = view.pointerEvent(e, PointerEvent::Kind::Press);
        QCOMPARE(QPoint(p.x, p.y), QPoint(1500, 1000));
    }

    // On a HiDPI screen the layout is scaled in device-independent pixels and Qt adds the
    // device pixel ratio: a 2x device shows the same picture at twice the pixels.
    void highDpiPaintsTheSameLayout()
    {
        guitest::Rig rig;
        CVARNOView view(*rig.session);
        const QImage ref = cameraView(rig, view, 1170, 765, true);
        QImage hi(view.size() * 2, QImage::Format_RGB32);
        hi.setDevicePixelRatio(2.0);
        hi.fill(Qt::magenta);
        rig.session->road().mailbox().offer(guitest::rmc(30.0));
        view.render(&hi);
        for (const BoxSpec& b : kCameraViewBoxes) {
            const QPoint p(int((b.rect.left + 3) * 1.5), int((b.rect.top + 3) * 1.5));
            QCOMPARE(hi.pixelColor(p * 2), ref.pixelColor(p));
        }
    }

    // The Scale item switches the view and stores the choice; it is off in a fresh profile, and
    // a new window starts as stored.
    void scaleItemSwitchesAndIsRemembered()
    {
        guitest::Rig rig;
        QCOMPARE(rig.settings.read(keys::ScaleWithWindow), 0);
        QAction* item = rig.frame().findChild<QAction*>(QStringLiteral("scaleToWindow"));
        QVERIFY(item && item->isCheckable() && !item->isChecked());
        QVERIFY(rig.frame().menu(Menu::View)->actions().contains(item));
        QVERIFY(!rig.frame().view()->scalesWithWindow());
        item->trigger();
        QVERIFY(rig.frame().view()->scalesWithWindow());
        QCOMPARE(rig.settings.read(keys::ScaleWithWindow), 1);
        CVARNOView again(*rig.session);
        QVERIFY(again.scalesWithWindow());
    }

    // Night colours turn the whole application dark (bars, menus, dialogs opened then); day brings
    // back the palette it had. A night timer started with the window shows Night and the dark
    // palette from the first show.
    void nightDarkensTheWholeWindow()
    {
        const QPalette day = QApplication::palette();
        QVERIFY(!isDark(day.color(QPalette::Window)));
        {
            guitest::Rig rig;
            CMainFrame& f = rig.shownFrame();
            f.runCommand(CommandId::NightColours);
            QApplication::processEvents(); // the widgets hear of the new palette
            const QList<QWidget*> parts = {&f, f.menuBar(), f.statusBar(), f.varnoToolbar(),
                                           f.menu(Menu::Options)};
            for (QWidget* w : parts) {
                QVERIFY2(isDark(w->palette().color(QPalette::Window)), w->metaObject()->className());
                QVERIFY(!isDark(w->palette().color(QPalette::WindowText)));
            }
            QDialog d(&f);
            QVERIFY(isDark(d.palette().color(QPalette::Window)));
            f.runCommand(CommandId::NightColours); // again: the day palette is not lost
            f.runCommand(CommandId::ToolDay);
            QApplication::processEvents();
            QCOMPARE(QApplication::palette(), day);
            QCOMPARE(f.statusBar()->palette().color(QPalette::Window), day.color(QPalette::Window));
        }
        guitest::Rig rig;
        rig.settings.write(keys::NightTimerEnable, true);
        rig.settings.write(keys::NightTimerStartTime, "00:00");
        rig.settings.write(keys::NightTimerEndTime, "06:00");
        CMainFrame& f = rig.shownFrame();
        QVERIFY(rig.session->colours().isNight());
        QStringList panes;
        for (QLabel* l : f.statusBar()->findChildren<QLabel*>())
            panes << l->text();
        QVERIFY2(panes.contains(QStringLiteral("Night")), qPrintable(panes.join(QLatin1Char('|'))));
        QApplication::processEvents();
        QVERIFY(isDark(f.menuBar()->palette().color(QPalette::Window)));
        f.runCommand(CommandId::DayColours);
        QCOMPARE(QApplication::palette(), day);
    }

    // Night on a camera view painted off screen: the stored scheme's saturated blue boxes, or with
    // NightPalette a dark grey fill and boxes and muted amber text that still reads; the stored night
    // colours stay as they are.
    void dimmedNightIsDarkAndReadable()
    {
        guitest::Rig rig;
        const std::uint32_t stored = rig.settings.read(keys::NightTimeBackGround);
        CVARNOView view(*rig.session);
        const Rect box = boxSpec(BoxId::VehicleSpeedLabel).rect;
        rig.session->loadNightColours();
        QImage img = cameraView(rig, view, kLayoutWidth, kLayoutHeight, false);
        QVERIFY(img.pixelColor(box.left + 2, box.top + 2).hsvSaturationF() > 0.9);
        rig.settings.write(keys::NightPalette, true);
        rig.session->loadNightColours();
        img = cameraView(rig, view, kLayoutWidth, kLayoutHeight, false);
        const QColor fill = img.pixelColor(kLayoutWidth - 2, kLayoutHeight - 2);
        const QColor back = img.pixelColor(box.left + 2, box.top + 2);
        QColor text = back; // the brightest pixel of the label is its text
        for (int y = box.top + 1; y < box.bottom - 1; ++y)
            for (int x = box.left + 1; x < box.right - 1; ++x)
                if (luminance(img.pixelColor(x, y)) > luminance(text))
                    text = img.pixelColor(x, y);
        QVERIFY(luminance(fill) < 0.01 && luminance(back) < 0.03);
        QVERIFY(back.hsvSaturationF() < 0.1 && fill.hsvSaturationF() < 0.1);
        QVERIFY2(contrast(text, back) > 4.5, qPrintable(text.name() + " on " + back.name()));
        QVERIFY(luminance(text) < 0.6 && text.red() > text.green() && text.green() > text.blue());
        QCOMPARE(rig.settings.read(keys::NightTimeBackGround), stored);
    }

    // The program's message boxes: Esc gives the safe answer and Enter the accepting one.
    void messageBoxesTakeEscAndEnter()
    {
        using varno::PromptAnswer;
        using varno::PromptButtons;
        struct Case {
            PromptButtons buttons;
            Qt::Key key;
            PromptAnswer answer;
        } cases[] = {
            {PromptButtons::Ok, Qt::Key_Escape, PromptAnswer::Ok},
            {PromptButtons::Ok, Qt::Key_Return, PromptAnswer::Ok},
            {PromptButtons::OkCancel, Qt::Key_Escape, PromptAnswer::Cancel},
            {PromptButtons::OkCancel, Qt::Key_Return, PromptAnswer::Ok},
            {PromptButtons::YesNo, Qt::Key_Escape, PromptAnswer::No},
            {PromptButtons::YesNo, Qt::Key_Return, PromptAnswer::Yes},
        };
        QWidget parent;
        parent.show();
        QtPrompt prompt;
        prompt.setParent(&parent);
        for (const Case& c : cases) {
            bool keyClosed = true;
            QTimer::singleShot(50, [&c] {
                if (QWidget* box = QApplication::activeModalWidget())
                    QTest::keyClick(box, c.key);
            });
            // A box the key left open is closed here, and the case fails.
            QTimer guard;
            guard.setSingleShot(true);
            connect(&guard, &QTimer::timeout, [&keyClosed] {
                if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    keyClosed = false;
                    box->done(-1);
                }
            });
            guard.start(1000);
            const PromptAnswer got =
                prompt.show("Stop the replay?", c.buttons, varno::PromptIcon::Question, "VARNO");
            QVERIFY(keyClosed);
            QCOMPARE(int(got), int(c.answer));
        }
    }

    // Every menu title and item shows a mnemonic, and the items' tooltips are their prompts,
    // shown in the menus and on the toolbar buttons.
    void menusHaveMnemonicsAndTooltips()
    {
        guitest::Rig rig;
        CMainFrame& f = rig.shownFrame();
        std::set<char> titleLetters;
        for (QAction* m : f.menuBar()->actions()) {
            const char title = mnemonicOf(m->text().toStdString());
            QVERIFY2(title != 0 && titleLetters.insert(title).second, qPrintable(m->text()));
            QVERIFY(m->menu()->toolTipsVisible());
            // No letter opens two items (Scale to Window included); the Tracks menu has
            // more items than letters, and its one repeat is the table's own.
            std::set<char> letters;
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator())
                    QVERIFY2(letters.insert(mnemonicOf(a->text().toStdString())).second ||
                                 a->text() == QStringLiteral("Save &editted track"),
                             qPrintable(m->text() + QStringLiteral(": ") + a->text()));
        }
        for (const Command& c : CommandTable::all()) {
            QAction* a = f.action(c.id);
            if (c.menu != Menu::None)
                QVERIFY2(a->text().contains(QLatin1Char('&')), qPrintable(a->text()));
            if (!c.prompt.empty())
                QCOMPARE(a->toolTip(), QString::fromUtf8(c.prompt.data(), qsizetype(c.prompt.size())));
        }
        QCOMPARE(f.action(CommandId::Scr800x600)->text(), QStringLiteral("Scr=800*&600\t6"));
        QCOMPARE(f.action(CommandId::ManualLocation)->text(), QStringLiteral("M&anual Location"));
    }
};

QTEST_MAIN(TestWindowLook)
#include "test_window_look.moc"
