#pragma once

// A check for installed trees: does the program start, and where does it take its files from?

/// When LEXORUM_QUIT_WHEN_SHOWN is set, prints "PROGRAM: DATA_FOLDER" on stdout once
/// the event loop runs (the main window, shown before, has been laid out) and ends the
/// program with status 0. Call after showing the main window; does nothing otherwise.
void quitWhenShownIfAsked();
