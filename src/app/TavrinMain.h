#pragma once

#include <functional>

namespace tavrin {

class TTavrinForm;

struct StartHooks {
    // Called once, when the main window has been painted for the first time.
    std::function<void(TTavrinForm& form)> onFirstPaint;
};

// The program from its entry to its end: the application object, a hand-over to a window that
// runs already, the main window with its start-up, the About box and Configure dialog, the
// command-line files, and the message loop. Returns the exit code.
int RunTavrin(int& argc, char** argv, const StartHooks& hooks = {});

}  // namespace tavrin
