#pragma once

#include <functional>

// What the editor asks of the main window beyond its controls.
struct WindowHooks {
    // The operator prompt for the chosen printer into the status line.
    std::function<void()> statusCaption;
    // Centres the window on its screen.
    std::function<void()> centerForm;
    // Sets the window width for a view, in pixels at 96 dpi.
    std::function<void(int width)> setViewWidth;
};
