#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <vector>

namespace webtest {

// Takes the place of the browser while it lives: records every address the program opens.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        QDesktopServices::setUrlHandler("http", this, "Open");
        QDesktopServices::setUrlHandler("https", this, "Open");
    }
    ~UrlCatcher() override
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }

    std::vector<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

}  // namespace webtest
