// Signs a language file: writes a copy of it whose "Sig" line carries the
// file's signature. Run at build time for the built-in languages.
//
//     quillon_langsign <source file> <signed copy>

#include "localisation/LanguageLines.h"
#include "localisation/LanguageSignature.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <optional>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "quillon_langsign: %s\n", qPrintable(message));
    return 1;
}

std::optional<QByteArray> ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

}

int main(int argc, char* argv[])
{
    if (argc != 3)
        return Fail(QStringLiteral("usage: quillon_langsign <source file> <signed copy>"));
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);

    const std::optional<QByteArray> bytes = ReadAll(source);
    if (!bytes)
        return Fail(QStringLiteral("can not read %1").arg(source));
    const TLanguageLines lines = TLanguageLines::FromBytes(*bytes);
    if (TrimBlanks(lines.Value(QStringLiteral("Language"))).isEmpty()
        || TrimBlanks(lines.Value(QStringLiteral("QLNVersion"))).isEmpty())
        return Fail(QStringLiteral("%1 has no \"Language\" or \"QLNVersion\" line").arg(source));

    const std::optional<QByteArray> signedBytes = SignLanguageBytes(*bytes);
    if (!signedBytes)
        return Fail(QStringLiteral("%1 has no \"Sig\" line").arg(source));
    QString digest;
    if (!CheckLanguageSignature(TLanguageLines::FromBytes(*signedBytes), digest))
        return Fail(QStringLiteral("the signed copy of %1 does not verify").arg(source));

    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(*signedBytes) != signedBytes->size() || !out.commit())
        return Fail(QStringLiteral("can not write %1").arg(target));
    return 0;
}
