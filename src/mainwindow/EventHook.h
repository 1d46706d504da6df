#pragma once

#include <QObject>

#include <functional>

class QEvent;

// Hands the events of the objects it watches to a function; true consumes.
// It stops watching when it goes, with its parent.
class TEventHook : public QObject {
public:
    TEventHook(QObject* parent, std::function<bool(QObject*, QEvent*)> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return m_handler(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> m_handler;
};
