#include "mainwindow/EntryState.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileTimes.h"

#include <sys/stat.h>

TTagError EntryProblem(const TEintragdaten& entry)
{
    if (entry.ReadFailed)
        return entry.ReadError == TTagError::None ? TTagError::Other : entry.ReadError;
    if (entry.HasID3v2 && entry.VersionUnsupported)
        return TTagError::VersionUnsupported;
    if (entry.HasID3v2 && entry.PartlyRead)
        return TTagError::TagDamaged;
    return TTagError::None;
}

bool ChangedSinceRead(const TEintragdaten& entry)
{
    struct stat st {};
    if (::stat(entry.NativePath().constData(), &st) != 0)
        return false; // a missing file is told by the write
    return static_cast<qint64>(st.st_size) != entry.Size || ModificationNs(st) != entry.LastWriteNs;
}

QString TagErrorReason(TTagError kind, TFileAccess access, quint8 major, const QString& detail)
{
    switch (kind) {
    case TTagError::None:
        return {};
    case TTagError::FileMissing:
        return Lang("TagReasonFileMissing");
    case TTagError::FileEmpty:
        return Lang("TagReasonFileEmpty");
    case TTagError::VersionUnsupported:
        return LangFmt("TagReasonVersionUnsupported", {QString::number(major)});
    case TTagError::TagDamaged:
        return Lang("TagReasonTagDamaged");
    case TTagError::NoPermission:
        return access == TFileAccess::Read ? Lang("TagReasonNoReadPermission") : Lang("TagReasonNoWritePermission");
    case TTagError::DiskFull:
        return Lang("TagReasonDiskFull");
    case TTagError::ChangedElsewhere:
        return Lang("TagReasonChangedElsewhere");
    case TTagError::ReadOnlyDisk:
        return Lang("TagReasonReadOnlyDisk");
    case TTagError::Other:
        break;
    }
    const QString reason = Lang("TagReasonOther");
    return detail.isEmpty() ? reason : reason + QStringLiteral(": ") + detail;
}

QString EntryStateToolTip(const TEintragdaten& entry)
{
    const TTagError problem = EntryProblem(entry);
    if (problem == TTagError::None)
        return {};
    if (entry.ReadFailed)
        return LangFmt("StateReadFailed", {TagErrorReason(problem, TFileAccess::Read, entry.ID3v2Major)});
    return LangFmt("StateTagNotWritable", {TagErrorReason(problem, TFileAccess::Read, entry.ID3v2Major)});
}

QString NameWithReason(const QString& name, const QString& reason)
{
    return reason.isEmpty() ? name : name + QStringLiteral(" (") + reason + QLatin1Char(')');
}
