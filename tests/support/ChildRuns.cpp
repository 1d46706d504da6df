#include "ChildRuns.h"

#include <QFile>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::map<std::string, TChildMain>& Registered()
{
    static std::map<std::string, TChildMain> registered;
    return registered;
}

QByteArray OwnExecutable()
{
    return QFile::encodeName(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
}

}

TChildRegistration::TChildRegistration(const char* name, TChildMain main)
{
    Registered()[name] = main;
}

int RunChildIfAsked(int argc, char** argv)
{
    if (argc < 3 || std::strcmp(argv[1], "--child") != 0)
        return -1;
    const auto found = Registered().find(argv[2]);
    if (found == Registered().end())
        return 127;
    QStringList arguments;
    for (int i = 3; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return found->second(arguments);
}

QStringList ChildCommandLine(const char* name, const QStringList& arguments)
{
    return QStringList{QFile::decodeName(OwnExecutable()), QStringLiteral("--child"), QString::fromLatin1(name)}
           + arguments;
}

TChildEnd RunChild(const char* name, const QStringList& arguments, const QStringList& prefix)
{
    std::vector<QByteArray> words;
    for (const QString& word : prefix)
        words.push_back(word.toLocal8Bit());
    words.push_back(OwnExecutable());
    words.push_back("--child");
    words.push_back(name);
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    TChildEnd end;
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return end;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    end.Killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (WIFEXITED(status))
        end.ExitCode = WEXITSTATUS(status);
    return end;
}
