#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

// Calls `onResize` whenever the watched widget is resized (the activity frame lays out its
// children by hand, with distances measured from its own edges).
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject* watched, std::function<void()> onResize) : QObject(watched), onResize_(std::move(onResize))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && onResize_)
            onResize_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onResize_;
};
