// The look of the whole window beyond the view: the night palette and the view's scaling to the window.
#include "gui/frame/WindowLook.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <optional>

#include "gui/frame/CVARNOView.h"
#include "settings/Settings.h"

namespace {
// The palette before night came, while it is night.
std::optional<QPalette>& dayPalette()
{
    static std::optional<QPalette> saved;
    return saved;
}
} // namespace

QPalette nightPalette()
{
    // Dim greys with a muted red highlight: nothing bright beside a dark view at night.
    const QColor window(0x20, 0x20, 0x20), base(0x16, 0x16, 0x16), button(0x30, 0x30, 0x30);
    const QColor text(0xc8, 0xc8, 0xc8), dimText(0x70, 0x70, 0x70), highlight(0x6a, 0x24, 0x24);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, button);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, dimText);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x60, 0x60));
    p.setColor(QPalette::Light, QColor(0x48, 0x48, 0x48));
    p.setColor(QPalette::Midlight, QColor(0x3a, 0x3a, 0x3a));
    p.setColor(QPalette::Mid, QColor(0x28, 0x28, 0x28));
    p.setColor(QPalette::Dark, QColor(0x10, 0x10, 0x10));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x80, 0xa0, 0xd0));
    p.setColor(QPalette::LinkVisited, QColor(0xa0, 0x80, 0xc0));
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, dimText);
    return p;
}

void applyNightPalette(bool night)
{
    std::optional<QPalette>& saved = dayPalette();
    if (night && !saved) {
        saved = QApplication::palette();
        QApplication::setPalette(nightPalette());
    } else if (!night && saved) {
        QApplication::setPalette(*saved);
        saved.reset();
    }
}

QAction* addScaleItem(QMenu& viewMenu, CVARNOView& view, varno::settings::Settings& settings)
{
    viewMenu.addSeparator();
    QAction* a = viewMenu.addAction(QStringLiteral("Scale to &Window"));
    a->setObjectName(QStringLiteral("scaleToWindow"));
    a->setCheckable(true);
    a->setChecked(view.scalesWithWindow());
    const QString tip =
        QStringLiteral("Scales the view up to fill a larger window, or keeps it at its own size");
    a->setStatusTip(tip);
    a->setToolTip(tip);
    QObject::connect(a, &QAction::toggled, &view, [&view, &settings](bool on) {
        view.setScaleWithWindow(on);
        settings.write(varno::settings::keys::ScaleWithWindow, on);
    });
    return a;
}
