// The one view: takes the pending sentence at each repaint and paints the current map view's scene.
#pragma once

#include <QWidget>

#include "session/Session.h"
#include "views/Scene.h"

class CVARNOView : public QWidget {
    Q_OBJECT
public:
    explicit CVARNOView(varno::session::Session& session, QWidget* parent = nullptr);

    varno::session::Session& session() { return session_; }

    // The strip of the last repaint: the sentence text drawn, empty when none was.
    const QString& lastStripText() const { return stripText_; }
    // What the last repaint drew.
    const varno::views::Scene& lastScene() const { return scene_; }

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
    bool autoStarted_ = false;
    int wheelDelta_ = 0; // the turn a Wheel pointer event carries

};
