#pragma once

#include "export/TemplateTagProducer.h"
#include "tagengine/Eintragdaten.h"

#include <QString>

#include <optional>
#include <vector>

// The file entries a page, group or row works on, in list order (not owned).
using TEntryRefs = std::vector<const TEintragdaten*>;

// One group of a grouped page: the group's text (spelled as its first file
// has it) and its files in list order.
struct TEntryGroup {
    QString Key;
    TEntryRefs Files;
};
using TEntryGroups = std::vector<TEntryGroup>;

// The files grouped by the text of a column (trimmed): groups sorted by that
// text ignoring case, texts that differ only in case in one group.
TEntryGroups GroupEntries(const TEntryRefs& files, const QString& columnId);

class TMP3PageProducer;

// What all producers of one page run share: the exported folder, the two
// relative-path options and the starting colours. Its operations answer the
// tags of each level.
class TMP3PageProducerGlobalVars {
public:
    QString BaseFolder; // ends in "/"
    bool RelativeFolders = false;
    bool RelativeLinks = false;
    QString Color1 = QStringLiteral("#dddddd");
    QString Color2 = QStringLiteral("#eeeeee");

    // Makes the producer answer its level's tags with this shared state.
    void Attach(TMP3PageProducer& producer);

    // Tags of every level; false when the tag is none of them.
    bool HandleCommonTag(TMP3PageProducer& producer, const QString& tag, const TTagParams& params, QString& text);
    // Level 0 (the page), 1 (a group) and 2 (a file row). Unknown tags give
    // the empty text.
    void HandleTopTag(TMP3PageProducer& producer, const QString& tag, const TTagParams& params, QString& text);
    void HandleGroupTag(TMP3PageProducer& producer, const QString& tag, const TTagParams& params, QString& text);
    void HandleFileTag(TMP3PageProducer& producer, const QString& tag, const TTagParams& params, QString& text);

private:
    // The expansion of a group block: the group body once per group.
    QString ExpandGroups(TMP3PageProducer& producer);
    // The expansion of a file loop: the loop body once per file.
    QString ExpandLoop(TMP3PageProducer& producer);
    QString DiskName();
    // A path relative to the page's folder when links are relative there.
    QString LinkPath(const TMP3PageProducer& producer, const QString& path) const;

    std::optional<QString> m_diskName;
};

// A producer of one level of a page: 0 the page, 1 a group, 2 a file row.
class TMP3PageProducer : public TTemplateTagProducer {
public:
    TMP3PageProducerGlobalVars* GlobalVars = nullptr;
    quint8 Level = 0;
    const TEntryRefs* Files = nullptr;
    const TEintragdaten* CurrentFile = nullptr; // level 2
    const TEntryGroups* Groups = nullptr;       // level 0
    QString GroupBody;
    QString LoopBody;
    QString OutputFolder; // ends in "/"
    QString OutputName;
    int Index = 0;
    QString GroupValue;
    int GroupIndex = 0;
    QString Color1 = QStringLiteral("#dddddd");
    QString Color2 = QStringLiteral("#eeeeee");
    QString CurrentColor = QStringLiteral("#dddddd");

    int FileCount() const { return Files ? static_cast<int>(Files->size()) : 0; }
};
