// The one view: takes the pending sentence at each repaint and paints the current map view's scene.
#pragma once

#include <QWidget>
#include <optional>

#include "session/Session.h"
#include "views/Scene.h"
#include "views/ViewScale.h"

class CVARNOView : public QWidget {
    Q_OBJECT
public:
    explicit CVARNOView(varno::session::Session& session, QWidget* parent = nullptr);

    varno::session::Session& session() { return session_; }

    // The strip of the last repaint: the sentence text drawn, empty when none was.
    const QString& lastStripText() const { return stripText_; }
    // What the last repaint drew.
    const varno::views::Scene& lastScene() const { return scene_; }
    // How the last repaint's scene reached the window: the size it was built
    // at, and its scale and offset in the window.
    const varno::views::ViewScale& lastScale() const { return scale_; }

    // Where the route agent's character of the given size (at 1:1) stands in
    // the window, scaled as the last repaint's scene; nullopt in a view that
    // does not guide or where nothing the driver reads would stay clear.
    std::optional<QRect> agentSpot(QSize character) const;

    // Whether a window larger than the views' layout shows it scaled up (off: 1:1).
    bool scalesWithWindow() const { return scaleWithWindow_; }
    void setScaleWithWindow(bool on);

    // A mouse event as the views get it: in their layout's pixels, back through
    // the scale of the last repaint.
    varno::views::PointerEvent pointerEvent(const QMouseEvent& event,
                                            varno::views::PointerEvent::Kind kind) const;

signals:
    // A repaint took a sentence from the mailbox; ok: it passed its checksum and reached the fix.
    void sentenceTaken(bool ok);

public slots:
    // The reader's sentence message, delivered on the UI thread: the per-fix
    // processing, then an immediate repaint.
    void onNewSentence();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The first show runs the start-up actions; the hides and shows of a
    // minimise and restore leave them alone.
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pointer(QMouseEvent* event, varno::views::PointerEvent::Kind kind);

    varno::session::Session& session_;
    QString stripText_;
    varno::views::Scene scene_;
    varno::views::ViewScale scale_;
    bool scaleWithWindow_ = false;
    bool autoStarted_ = false;
};
