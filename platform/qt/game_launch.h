#pragma once

#include <memory>
#include <string>

#include "platform/qt/picture_cache.h"
#include "platform/qt/qt_host.h"

namespace mogumo {

// The game from the top of main to its title, shared by the program and the
// start-up benchmark so that the benchmark times what a player waits for.
//
//     GameLaunch::beforeApplication();
//     QApplication app(argc, argv);
//     GameLaunch launch;
//     if (std::string problem = launch.open(options); !problem.empty()) ...
//     launch.host().start();  // the title is shown; its first paint follows
class GameLaunch {
public:
    // Before the QApplication exists: how the game scales on a fractional
    // display, and the fonts start being listed beside Qt's own start (see
    // FontSetup).
    static void beforeApplication();

    GameLaunch() = default;
    // Before the QApplication goes.
    ~GameLaunch();
    GameLaunch(const GameLaunch&) = delete;
    GameLaunch& operator=(const GameLaunch&) = delete;

    // With the QApplication: says who the application is, checks the
    // pictures (their pixels wait until each is first shown, but the title's
    // are decoded on another thread meanwhile) and makes the host, which shows
    // nothing before start(). An empty string then; otherwise why the game
    // cannot start, and there is no host.
    std::string open(QtHost::Options options);

    // After a successful open().
    QtHost& host() { return *host_; }

private:
    PictureCache pictures_;
    std::unique_ptr<QtHost> host_;  // after the pictures it draws
};

}  // namespace mogumo
