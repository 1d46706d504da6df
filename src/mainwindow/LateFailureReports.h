#pragma once

#include "platform/Opener.h"
#include "platform/Registry.h"

// Failures the program learns of away from the command that caused them,
// told to the user while the main window lives: settings that cannot be
// written, and an address that no program of the desktop could open.
class TLateFailureReports {
public:
    TLateFailureReports();
    ~TLateFailureReports();
    TLateFailureReports(const TLateFailureReports&) = delete;
    TLateFailureReports& operator=(const TLateFailureReports&) = delete;

private:
    TRegistry::TWriteFailureReport m_previousSettingsReport;
    TOpenFailureReport m_previousOpenReport;
};
