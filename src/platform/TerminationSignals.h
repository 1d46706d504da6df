#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal, so that a kill or the
// end of a session without a session manager closes the program the ordinary
// way: the edits still in the inputs are written and the settings saved.
// The handlers stay installed while the object lives; each signal is taken
// once, so a second one ends the program at once as usual.
class TTerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    // False when the handlers could not be installed (another object holds
    // them, or no pipe could be made).
    bool IsInstalled() const { return m_notifier != nullptr; }

signals:
    void Received(int signalNumber);

private:
    void ReadPipe();

    QSocketNotifier* m_notifier = nullptr;
};
