#pragma once

#include "tagengine/ID3v1Infos.h"

#include <QDialog>

class QCheckBox;
class QListWidget;

// Lets the user choose which ID3v1 fields are copied into the ID3v2 frames
// and whether empty fields are copied too (which deletes the frame). With one
// file selected its ID3v1 values are shown beside the field names.
class TFormID3v1ToID3v2 : public QDialog {
    Q_OBJECT
public:
    explicit TFormID3v1ToID3v2(QWidget* parent = nullptr);

    // Shows the rows of the record (mask bits: 1 title, 2 artist, 4 album,
    // 8 comment, 16 genre, 32 track, 64 year) checked by the mask. On OK: the
    // mask of the checked rows, the flag (set when empty fields are to be
    // copied), true. Cancel changes nothing.
    bool Execute(const TID3v1Infos& record, quint8& mask, bool& overwriteWithEmpty);

    QListWidget* ListBox() const { return m_list; }
    QCheckBox* EmptyFieldsBox() const { return m_emptyFields; }

private:
    QListWidget* m_list = nullptr;
    QCheckBox* m_emptyFields = nullptr;
};
