#include "ExportTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3Frame.h"

#include <QFile>
#include <QProcess>

TEintragdatenPtr MakeEntry(const QString& folder, const QString& name, const TFrameTexts& frames, qint64 lengthMs)
{
    auto entry = std::make_unique<TEintragdaten>();
    entry->Folder = folder;
    entry->FileName = name;
    entry->Length = lengthMs;
    entry->HasID3v2 = 1;
    entry->ID3v2Major = 3;
    for (const auto& [id, text] : frames) {
        TID3Frame frame(id);
        SetTextFrame(frame, QString(), {text});
        SetFrame(entry->Frames, id, &frame, 0);
    }
    return entry;
}

void LoadEnglish()
{
    LoadBaseLanguage();
    LoadLanguage(QStringLiteral("English"), QString());
}

TProgramRun RunProgram(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    TProgramRun run;
    if (!process.waitForStarted(10000))
        return run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

TProgramRun RunPython(const char* script, const QStringList& arguments)
{
    return RunProgram(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
