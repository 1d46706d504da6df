// main() of the widget test executables: one QApplication for all tests, on
// the offscreen platform unless the environment chose another.
#include <QApplication>

#include "support/ChildRuns.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (const int child = RunChildIfAsked(argc, argv); child >= 0)
        return child;
    // The records of the file operations' runs go to a folder of this
    // process's own (a test that needs another points XDG_STATE_HOME there).
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
