#pragma once

#include <memory>
#include <string>

#include "ui/mainwindow/Mainwindow.h"

// What the command line asks of the desktop program.
struct DesktopOptions {
    std::string dataDir;      // --data-dir
    bool demo = false;        // --demo
    std::string demoCapture;  // the capture the demo plays
};

// Creates the program's windows in their fixed order: the main window TForm1, then the dialogs
// that exist (TForm2, TAboutForm), owned by the main window and hidden until opened.
std::unique_ptr<TForm1> CreateDesktopWindows(MainWindowOptions options);

// The desktop program: application title, windows, event loop. Returns the exit status.
int RunDesktop(int& argc, char** argv, const DesktopOptions& options);

// Shows why the desktop program cannot start (another program holds its data folder) in a
// message box, then returns the exit status 2. Makes the application object when there is none.
int RefuseDesktopStart(int& argc, char** argv, const std::string& text);
