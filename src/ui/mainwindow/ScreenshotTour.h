#pragma once

class TForm1;

// When the environment variable VARNEL_SCREENSHOT_DIR names a folder: after
// VARNEL_SCREENSHOT_DELAY seconds (default 6) the window shows each visible tab in turn, saves a
// grab of itself per tab as "tab-NN-<page name>.png" into that folder, and exits the program
// through "E&xit". Used by scripts/screenshots.sh to look at the running program.
void StartScreenshotTourIfAsked(TForm1& window);
