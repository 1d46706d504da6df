#pragma once

#include "export/TemplateTagProducer.h"

#include <QString>

// Cuts a block out of a template: from the tag that holds beginMarker to the
// tag that holds the last endMarker after it (or to the end of the template
// when none follows). The text between the two tags becomes body, the block
// is replaced by replacement, and the begin tag's attributes (name=value,
// values in double quotes may hold blanks) go to attributes. Markers are
// found case-sensitively. False, and nothing changed, when the template does
// not hold beginMarker.
bool ExtractTemplateBlock(const QString& beginMarker, const QString& endMarker, const QString& replacement,
                          QString& templateText, QString& body, TTagParams& attributes);
