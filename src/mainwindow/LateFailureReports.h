#pragma once

#include "platform/Opener.h"
#include "platform/Registry.h"

// Failures the program learns of away from the command that caused them,
// told to the user while the main window lives: a settings file that cannot
// be read or written, and an address that no program of the desktop could
// open.
class TLateFailureReports {
public:
    TLateFailureReports();
    ~TLateFailureReports();
    TLateFailureReports(const TLateFailureReports&) = delete;
    TLateFailureReports& operator=(const TLateFailureReports&) = delete;

private:
    TRegistry::TWriteFailureReport m_previousSettingsReport;
    TRegistry::TReadFailureReport m_previousReadReport;
    TOpenFailureReport m_previousOpenReport;
};
