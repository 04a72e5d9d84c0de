#pragma once

#include <functional>

namespace tavrin {

class StartupPrefetch;
class TTavrinForm;

struct StartHooks {
    // Called once, when the main window has been painted for the first time.
    std::function<void(TTavrinForm& form)> onFirstPaint;
};

// The program from its entry to its end: the application object, a hand-over to a window that
// runs already, the main window with its start-up, the About box and Configure dialog, the
// command-line files, and the message loop. Returns the exit code.
int RunTavrin(int& argc, char** argv, const StartHooks& hooks = {});

// For a window made with PrinterListing::WhenAnswered: its printer box is filled on the window's
// thread once `prefetch` has the print server's answers. Nothing happens when the window is gone
// by then.
void ListPrintersWhenAnswered(StartupPrefetch& prefetch, TTavrinForm& form);

}  // namespace tavrin
