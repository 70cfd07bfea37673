#pragma once

#include <QObject>
#include <QString>

#include "persist/LogExport.h"

class TForm1;

// "Save", "Clear" and "Auto Save" of the seven log views of the main window. A save appends every
// row whose saved mark is still false to the log's file and marks it, so each row reaches the file
// once; the views are the logs' only store, the decoder keeps just small pending buffers.
// Lives on the main thread as a child of the window, like the updaters that append the rows.
class LogExporter : public QObject {
    Q_OBJECT
public:
    static constexpr char kClearQuestion[] = "Clear this screen?";
    static constexpr char kClearTitle[] = "Clear Screen";
    // Asked before rows that never reached a file are thrown away, whatever the confirmation
    // setting: "%1" is the number of such rows.
    static constexpr char kUnsavedQuestion[] = "This screen holds %1 not saved to a file yet. Clear this screen?";

    // What a save did.
    struct SaveResult {
        int rows = 0;         // rows written
        QString path;         // the log file (empty while no system is known)
        bool failed = false;  // the file could not be written; the rows stay unsaved
    };

    explicit LogExporter(TForm1& window);

    // Connects the Save and Clear buttons of every log.
    void WireButtons();
    SaveResult Save(LogKind kind);
    // "Save" of a log's button: the save, then where the rows went in the window's bottom row.
    void SaveAndTell(LogKind kind);
    void Clear(LogKind kind);
    // The minute timer's saves, in a fixed order, for the logs whose "Auto Save" box is checked.
    void RunAutoSaves();

signals:
    // Rows were appended to the log file at `path`.
    void LogSaved(const QString& path);

private:
    TForm1& window_;
};
