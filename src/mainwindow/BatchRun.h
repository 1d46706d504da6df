#pragma once

#include "mainwindow/EventPump.h"

#include <QObject>
#include <QSignalBlocker>

#include <functional>

class TEintragdaten;
class TFQuillon;

// One batch command running over the selected files: the status bar shows
// its progress and the abort button (or Esc) stops it after the current
// file. Pending events run now and then so that the window stays drawn and
// the button can be pressed; every other click, key and drop is held off
// meanwhile, the window does not close and the folder tree loads no other
// folder, so nothing else changes the entries while the command works on
// them.
class TBatchRun : public QObject {
    Q_OBJECT
public:
    TBatchRun(TFQuillon& window, int total);
    ~TBatchRun() override;
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    // One file done. After a change on disk the events run at once (such a
    // change is slow anyway), otherwise only when the last run is too long
    // ago. False once the user asked to stop.
    bool Next(bool changedDisk);
    bool Aborted() const { return m_aborted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowProgress();

    TFQuillon& m_window;
    int m_total;
    int m_done = 0;
    int m_shownPercent = -1;
    bool m_aborted = false;
    bool m_buttonWasEnabled = false;
    TEventPump m_pump;
    QSignalBlocker m_treeQuiet;
};

// Runs work on every selected (edited) entry in list order under one
// TBatchRun; work returns whether it changed something on disk. Stops after
// the entry at which the user asked to stop.
void RunOverSelection(TFQuillon& window, const std::function<bool(TEintragdaten&)>& work);

// Whether a file is selected; beeps when none is (commands on the selection
// start with it).
bool SelectedOrBeep(const TFQuillon& window);
