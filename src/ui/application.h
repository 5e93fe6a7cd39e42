#pragma once

#include "model/game_state.h"
#include "model/platform.h"

#include <QString>

#include <memory>

namespace mvx {

class HistoryAccess;
class Tfprincip;

// The running program: the one game state, the platform it was given, and every window,
// each created once at start-up and kept until the end.
class Application
{
public:
    // `historyPath` empty: the user's history of races.
    explicit Application(Platform &platform, const QString &historyPath = QString());
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    GameState &state() { return *state_; }
    Tfprincip &mainWindow() { return *fprincip_; }
    HistoryAccess &history() { return *history_; }

    // Shows the main window; the event loop then runs until it is closed.
    void show();

private:
    Platform &platform_;
    std::unique_ptr<GameState> state_;
    std::unique_ptr<HistoryAccess> history_;
    std::unique_ptr<Tfprincip> fprincip_;
};

} // namespace mvx
