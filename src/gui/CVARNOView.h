// The one view: takes the pending sentence at each repaint and draws the current map view.
#pragma once

#include <QWidget>

#include "session/Session.h"
#include "views/CameraViewScene.h"

class CVARNOView : public QWidget {
    Q_OBJECT
public:
    explicit CVARNOView(varno::session::Session& session, QWidget* parent = nullptr);

    varno::session::Session& session() { return session_; }

    // The strip of the last repaint: the sentence text drawn, empty when none was.
    const QString& lastStripText() const { return stripText_; }
    // What the last repaint laid out for the camera view (empty before the first sentence).
    const varno::views::CameraViewScene& lastScene() const { return scene_; }

    // The sentence strip's rectangle and the smallest window it is drawn in.
    static constexpr QRect kStripRect{QPoint(1, 455), QPoint(769, 499)};
    static constexpr int kStripMinWidth = 771;
    static constexpr int kStripMinHeight = 502;

    // A font of the given cell height in pixels, as the layout's heights are meant.
    static QFont cellFont(const QString& family, int cellHeight);

public slots:
    // The reader's sentence message, delivered on the UI thread: the per-fix
    // processing, then an immediate repaint.
    void onNewSentence();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The first show runs the start-up actions; the hides and shows of a
    // minimise and restore leave them alone.
    void showEvent(QShowEvent* event) override;

private:
    void drawStrip(QPainter& p, const varno::session::Session::Intake& in);
    varno::views::CameraViewScene buildScene() const;

    varno::session::Session& session_;
    QString stripText_;
    varno::views::CameraViewScene scene_;
    bool autoStarted_ = false;
};
