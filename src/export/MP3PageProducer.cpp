#include "export/MP3PageProducer.h"

#include "export/ExportPaths.h"
#include "localisation/MultiLanguage.h"
#include "common/ColumnCatalogue.h"
#include "tagengine/DisplayTexts.h"

#include <QDate>
#include <QLocale>
#include <QStorageInfo>
#include <QTime>

#include <map>

namespace {

const QString EmptyCell = QStringLiteral("&nbsp;");

QString OrEmptyCell(const QString& text)
{
    return text.isEmpty() ? EmptyCell : text;
}

struct TCaseless {
    bool operator()(const QString& a, const QString& b) const { return a.compare(b, Qt::CaseInsensitive) < 0; }
};

// Producers of the levels below a page take their colours from the shared
// state as it stands when they are made.
void StartColours(TMP3PageProducer& producer, const TMP3PageProducerGlobalVars& shared)
{
    producer.Color1 = shared.Color1;
    producer.Color2 = shared.Color2;
    producer.CurrentColor = shared.Color1;
}

// The next row's colour: the current one, then the other.
QString NextColour(TMP3PageProducer& producer)
{
    const QString colour = producer.CurrentColor;
    producer.CurrentColor = colour == producer.Color1 ? producer.Color2 : producer.Color1;
    return colour;
}

void CopyPagePlace(TMP3PageProducer& to, const TMP3PageProducer& from)
{
    to.LoopBody = from.LoopBody;
    to.OutputFolder = from.OutputFolder;
    to.OutputName = from.OutputName;
}

// Expansions of a block, each followed by CR LF.
void AppendExpansion(QString& text, TMP3PageProducer& producer)
{
    text += producer.Content();
    text += QLatin1String("\r\n");
}

}

TEntryGroups GroupEntries(const TEntryRefs& files, const QString& columnId)
{
    std::map<QString, size_t, TCaseless> index;
    TEntryGroups groups;
    for (const TEintragdaten* file : files) {
        const QString key = GetColumnText(*file, columnId).trimmed();
        const auto [it, added] = index.try_emplace(key, groups.size());
        if (added)
            groups.push_back(TEntryGroup{key, {}});
        groups[it->second].Files.push_back(file);
    }
    TEntryGroups sorted;
    sorted.reserve(groups.size());
    for (const auto& [key, position] : index)
        sorted.push_back(std::move(groups[position]));
    return sorted;
}

void TMP3PageProducerGlobalVars::Attach(TMP3PageProducer& producer)
{
    using THandler = void (TMP3PageProducerGlobalVars::*)(TMP3PageProducer&, const QString&, const TTagParams&,
                                                           QString&);
    const THandler handler = producer.Level == 0   ? &TMP3PageProducerGlobalVars::HandleTopTag
                             : producer.Level == 1 ? &TMP3PageProducerGlobalVars::HandleGroupTag
                                                   : &TMP3PageProducerGlobalVars::HandleFileTag;
    producer.GlobalVars = this;
    producer.SetOnHTMLTag([this, handler](TTemplateTagProducer& sender, const QString& tag, const TTagParams& params,
                                          QString& text) {
        (this->*handler)(static_cast<TMP3PageProducer&>(sender), tag.toUpper(), params, text);
    });
}

bool TMP3PageProducerGlobalVars::HandleCommonTag(TMP3PageProducer& producer, const QString& tag,
                                                 const TTagParams& params, QString& text)
{
    if (tag == QLatin1String("DATE")) {
        text = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    } else if (tag == QLatin1String("TIME")) {
        text = QLocale().toString(QTime::currentTime(), QLocale::LongFormat);
    } else if (tag == QLatin1String("DIR")) {
        text = HtmlEscape(RelativeFolders ? RelativePath(producer.OutputFolder, BaseFolder) : BaseFolder);
    } else if (tag == QLatin1String("BGCOLOR1") || tag == QLatin1String("BGCOLOR2")) {
        const bool first = tag == QLatin1String("BGCOLOR1");
        const QString colour = params.Value(QStringLiteral("COLOR"));
        (first ? producer.Color1 : producer.Color2) = colour;
        producer.CurrentColor = colour;
        if (producer.Level == 0)
            (first ? Color1 : Color2) = colour;
    } else if (tag == QLatin1String("DISKNAME")) {
        text = HtmlEscape(DiskName());
    } else if (tag == QLatin1String("TITLE")) {
        const TSpalte* column = FindColumn(params.Value(QStringLiteral("ID")).toUpper());
        text = column ? OrEmptyCell(HtmlEscape(ColumnCaption(*column))) : EmptyCell;
    } else if (tag == QLatin1String("CONTENTALL")) {
        const QString id = params.Value(QStringLiteral("ID")).toUpper();
        if (id.isEmpty() || producer.FileCount() == 0) {
            text = EmptyCell;
            return true;
        }
        const QString first = GetColumnText(*producer.Files->front(), id);
        bool same = true;
        for (const TEintragdaten* file : *producer.Files)
            if (!(same = GetColumnText(*file, id) == first))
                break;
        text = OrEmptyCell(same ? HtmlEscape(first) : params.Value(QStringLiteral("IFDIFFERENT")));
    } else if (tag == QLatin1String("FILECOUNT") || tag == QLatin1String("GROUPFILECOUNT")) {
        text = QString::number(producer.FileCount());
    } else if (tag == QLatin1String("GROUPVALUE")) {
        text = producer.GroupValue.isEmpty() ? params.Value(QStringLiteral("IFEMPTY")).trimmed()
                                             : HtmlEscape(producer.GroupValue);
        text = OrEmptyCell(text);
    } else {
        return false;
    }
    return true;
}

void TMP3PageProducerGlobalVars::HandleTopTag(TMP3PageProducer& producer, const QString& tag,
                                              const TTagParams& params, QString& text)
{
    if (HandleCommonTag(producer, tag, params, text))
        return;
    if (tag == QLatin1String("QUILLONGROUP"))
        text = ExpandGroups(producer);
    else if (tag == QLatin1String("QUILLONLOOP"))
        text = ExpandLoop(producer);
}

void TMP3PageProducerGlobalVars::HandleGroupTag(TMP3PageProducer& producer, const QString& tag,
                                                const TTagParams& params, QString& text)
{
    if (HandleCommonTag(producer, tag, params, text))
        return;
    if (tag == QLatin1String("QUILLONLOOP"))
        text = ExpandLoop(producer);
    else if (tag == QLatin1String("GROUPFILENAME"))
        text = HtmlEscape(MakeLink(GroupFileName(producer.OutputName, producer.GroupIndex)));
    else if (tag == QLatin1String("BGCOLOR"))
        text = NextColour(producer);
    else if (tag == QLatin1String("NUMBER"))
        text = QString::number(producer.Index + 1);
}

void TMP3PageProducerGlobalVars::HandleFileTag(TMP3PageProducer& producer, const QString& tag,
                                               const TTagParams& params, QString& text)
{
    if (HandleCommonTag(producer, tag, params, text))
        return;
    const TEintragdaten& file = *producer.CurrentFile;
    if (tag == QLatin1String("BGCOLOR")) {
        text = NextColour(producer);
    } else if (tag == QLatin1String("NUMBER")) {
        text = QString::number(producer.Index + 1);
    } else if (tag == QLatin1String("CONTENT")) {
        const QString id = params.Value(QStringLiteral("ID")).toUpper();
        if (id.isEmpty()) {
            text = EmptyCell;
            return;
        }
        QString content = GetColumnText(file, id);
        if (id == QLatin1String("*DIR") && RelativeFolders)
            content = RelativePath(producer.OutputFolder, content);
        text = OrEmptyCell(HtmlEscape(content));
    } else if (tag == QLatin1String("MP3LINK")) {
        text = HtmlEscape(MakeLink(LinkPath(producer, file.PathKey())));
    } else if (tag == QLatin1String("DIRLINK")) {
        text = HtmlEscape(MakeLink(LinkPath(producer, FolderOf(file.PathKey()))));
    }
}

QString TMP3PageProducerGlobalVars::LinkPath(const TMP3PageProducer& producer, const QString& path) const
{
    const bool relative = RelativeLinks || producer.OutputFolder == BaseFolder;
    return relative ? RelativePath(producer.OutputFolder, path) : path;
}

QString TMP3PageProducerGlobalVars::ExpandGroups(TMP3PageProducer& producer)
{
    if (!producer.Groups)
        return {};
    TMP3PageProducer group;
    CopyPagePlace(group, producer);
    group.Level = 1;
    group.SetHTMLDoc(producer.GroupBody);
    StartColours(group, *this);
    Attach(group);
    QString text;
    for (size_t i = 0; i < producer.Groups->size(); ++i) {
        const TEntryGroup& entryGroup = (*producer.Groups)[i];
        group.Files = &entryGroup.Files;
        group.GroupValue = entryGroup.Key;
        group.GroupIndex = group.Index = static_cast<int>(i);
        AppendExpansion(text, group);
    }
    return text;
}

QString TMP3PageProducerGlobalVars::ExpandLoop(TMP3PageProducer& producer)
{
    if (!producer.Files)
        return {};
    TMP3PageProducer row;
    CopyPagePlace(row, producer);
    row.Level = 2;
    row.Files = producer.Files;
    row.SetHTMLDoc(producer.LoopBody);
    StartColours(row, *this);
    Attach(row);
    QString text;
    for (size_t i = 0; i < producer.Files->size(); ++i) {
        row.CurrentFile = (*producer.Files)[i];
        row.Index = static_cast<int>(i);
        AppendExpansion(text, row);
    }
    return text;
}

QString TMP3PageProducerGlobalVars::DiskName()
{
    if (!m_diskName) {
        const QStorageInfo storage(BaseFolder);
        QString name;
        if (storage.isValid())
            name = storage.name().isEmpty() ? storage.displayName() : storage.name();
        m_diskName = name.isEmpty() ? QStringLiteral("Unknown") : name;
    }
    return *m_diskName;
}
