#pragma once

#include "frameinput/ID3v2FrameLine.h"

// Input for single-line text frames and user-defined text frames (TXXX).
class TID3v2FrameEdit : public TID3v2FrameLine {
    Q_OBJECT
public:
    explicit TID3v2FrameEdit(QWidget* parent = nullptr);

    void SetUseID3Version(TID3Versions version) override;

    static const QStringList& FrameTable();

protected:
    QStringList HandledFrameIDs() const override { return FrameTable(); }
    // The first string; only that one survives an edit.
    QString DecodeValue(const TID3Frame& frame, QString& description) const override;
    void EncodeValue(TID3Frame& frame, const QString& description, const QString& value) const override;
};
