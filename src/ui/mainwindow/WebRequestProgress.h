#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "web/RequestCancel.h"

class QProgressDialog;
class TForm1;

// While a web job runs (the update check, an import): a small window without modality that says
// what is being waited for and offers "Cancel", which aborts the request at once; a busy cursor;
// and the commands that would start a second web job disabled. The window stays usable. Made on
// the stack around the job; everything returns to its state when it goes.
class WebRequestProgress : public QObject {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "WebRequestProgress";

    WebRequestProgress(TForm1& window, const QString& title, const QString& text);
    ~WebRequestProgress() override;
    WebRequestProgress(const WebRequestProgress&) = delete;
    WebRequestProgress& operator=(const WebRequestProgress&) = delete;

    RequestCancel& Cancel() { return cancel_; }
    void SetText(const QString& text);
    // Ends the progress before the job's results are shown; the destructor does it otherwise.
    void Finish();

private:
    TForm1& window_;
    RequestCancel cancel_;
    QPointer<QProgressDialog> dialog_;
    bool finished_ = false;
};
