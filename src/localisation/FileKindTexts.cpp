#include "localisation/FileKindTexts.h"

#include "localisation/MultiLanguage.h"

QString FileKindText(TFileKind kind)
{
    switch (kind) {
    case TFileKind::Folder:
        return Lang(QStringLiteral("FileKindFolder"));
    case TFileKind::CharDevice:
        return Lang(QStringLiteral("FileKindCharDevice"));
    case TFileKind::BlockDevice:
        return Lang(QStringLiteral("FileKindBlockDevice"));
    case TFileKind::Fifo:
        return Lang(QStringLiteral("FileKindFifo"));
    case TFileKind::Socket:
        return Lang(QStringLiteral("FileKindSocket"));
    case TFileKind::Missing:
    case TFileKind::Regular:
    case TFileKind::Unknown:
        break;
    }
    return Lang(QStringLiteral("FileKindOther"));
}

QString NotRegularFileText(const QString& path, TFileKind kind)
{
    return LangFmt(QStringLiteral("ErrorNotRegularFile"), {path, FileKindText(kind)});
}
