#include "dialogs/CDDBFailureMessage.h"

#include "cddb/ServerText.h"
#include "localisation/MultiLanguage.h"

QString CDDBFailureMessage(TFreedbFailure failure, const QString& detail)
{
    switch (failure) {
    case TFreedbFailure::NoConnection:
        return Lang(QStringLiteral("freedbNoConnection"));
    case TFreedbFailure::HttpStatus:
        return LangFmt(QStringLiteral("freedbHttpError"), {TServerText::Of(detail).Shown});
    case TFreedbFailure::Timeout:
        return Lang(QStringLiteral("freedbTimeout"));
    case TFreedbFailure::TooLarge:
        return LangFmt(QStringLiteral("freedbReplyTooLarge"), {TmyFreedbHttp::MaxReplyBytes / 1024});
    case TFreedbFailure::Malformed:
        return Lang(QStringLiteral("freedbMalformedReply"));
    case TFreedbFailure::Incomplete:
        return Lang(QStringLiteral("freedbIncompleteReply"));
    case TFreedbFailure::Cancelled:
        break;
    }
    return QString();
}
