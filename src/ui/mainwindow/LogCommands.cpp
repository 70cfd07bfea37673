// The main window's part of the log views' saving: the exporter it owns and the minute timer's
// auto-saves.
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/LogExporter.h"

void TForm1::WireLogButtons()
{
    if (logExporter_)
        return;
    logExporter_ = new LogExporter(*this);
    logExporter_->WireButtons();
}

void TForm1::RunLogAutoSaves()
{
    if (logExporter_)
        logExporter_->RunAutoSaves();
}
