// The speech agent on screen: a small animated character with a speech bubble in the view's corner,
// its words spoken through the voice queue.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "cameras/VoicePlayer.h"
#include "speech/AgentCharacter.h"
#include "speech/SpeechAgent.h"

class AgentWidget;

class ScreenAgent final : public QObject, public varno::speech::SpeechAgent {
    Q_OBJECT
public:
    // voice: where the words and the greeting sound go (null: silent);
    // bundledCharacter: the character used for a Microsoft Agent (.acs) file name.
    ScreenAgent(varno::cameras::VoicePlayer* voice, QString bundledCharacter, QObject* parent = nullptr);
    ~ScreenAgent() override;

    // The view the character stands in, near its bottom right corner. The agent
    // may outlive it (the session unloads the agent after the window has gone).
    void attach(QWidget* view);
    // Where in the view a character of the given size (at 1:1) stands, scaled
    // as the view is: the rectangle in the view's pixels, or nullopt where it
    // must hide. Asked after each of the view's repaints and resizes. Without
    // a stage the character stands near the view's bottom right corner at 1:1.
    using Stage = std::function<std::optional<QRect>(QSize character)>;
    void setStage(Stage stage);

    bool loadCharacter(const std::string& path) override;
    void unloadCharacter() override;
    bool hasCharacter() const override { return character_.has_value(); }
    void setSoundEffects(bool on) override { soundEffects_ = on; }
    void showAndGreet() override;
    void speak(const std::string& text) override;

    // For tests: the bubble's text ("" when it is hidden) and whether the character is shown.
    QString bubbleText() const;
    bool shown() const;
    // Where the character is drawn in the view (empty without one).
    QRect characterRect() const;

private:
    varno::cameras::VoicePlayer* voice_;
    QString bundled_;
    QString soundPath_;
    std::optional<varno::speech::AgentCharacter> character_;
    bool soundEffects_ = false;
    QPointer<QWidget> view_;
    // A child of the view: gone with it.
    QPointer<AgentWidget> widget_;
    Stage stage_;
};
