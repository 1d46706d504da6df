#pragma once

#include <QMetaType>
#include <QString>

// One string carried with a combo-box or list item, for items that stand for
// an ID (a frame or column ID) while showing a translated text. Stored as the
// item's data: item->setData(QVariant::fromValue(TStringObject(id))).
struct TStringObject {
    TStringObject() = default;
    explicit TStringObject(const QString& value) : Value(value) {}

    QString Value;

    friend bool operator==(const TStringObject&, const TStringObject&) = default;
};

Q_DECLARE_METATYPE(TStringObject)
