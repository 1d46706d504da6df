#pragma once

#include "cddb/FreedbHttp.h"

#include <QString>

// The message that tells the user why a CD database request got no usable
// reply (detail: the HTTP status of a refusal, as the server gave it);
// empty for a cancelled request, which needs none.
QString CDDBFailureMessage(TFreedbFailure failure, const QString& detail);
