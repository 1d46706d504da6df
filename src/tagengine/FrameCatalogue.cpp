#include "tagengine/FrameCatalogue.h"

#include "tagengine/EngineText.h"

#include <algorithm>

// Every row's language keys are "FName" and "FDesc" followed by its ID.
#define QUILLON_FRAME(id, multiple, versions, name, desc) \
    TID3FrameName { id, multiple, versions, "FName" id, "FDesc" id, name, desc }

const std::array<TID3FrameName, FrameNameCount> ID3FrameNames = {{
    QUILLON_FRAME("TIT1", false, ivID3v2_3 | ivID3v2_4, "Content", "Content of the Record"),
    QUILLON_FRAME("TIT2", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Title", "Title of the Record"),
    QUILLON_FRAME("TIT3", false, ivID3v2_3 | ivID3v2_4, "Subtitle", "Subtitle of the Record"),
    QUILLON_FRAME("TALB", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Album", "Albumtitle of the Record"),
    QUILLON_FRAME("TOAL", false, ivID3v2_3 | ivID3v2_4, "Original Album", "albumtitle of the original record (e.g. if the song is a cover of a previously published song)"),
    QUILLON_FRAME("TRCK", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Tracknumber", "tracknumber of the record, e.g. on CD"),
    QUILLON_FRAME("TPOS", false, ivID3v2_3 | ivID3v2_4, "Part of Set", "e.g. the number of a CD in a CD-compilation"),
    QUILLON_FRAME("TSST", false, ivID3v2_3 | ivID3v2_4, "Part of Set Subtitle", "e.g. the subtitle of a CD in a CD-compilation"),
    QUILLON_FRAME("TSRC", false, ivID3v2_3 | ivID3v2_4, "ISRC", "International Standard Recording Code"),
    QUILLON_FRAME("TPE1", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Artist", "Name of Artist"),
    QUILLON_FRAME("TPE2", false, ivID3v2_3 | ivID3v2_4, "Artist (additional)", "Additional information of the artist"),
    QUILLON_FRAME("TPE3", false, ivID3v2_3 | ivID3v2_4, "Conductor", "name of the conductor"),
    QUILLON_FRAME("TPE4", false, ivID3v2_3 | ivID3v2_4, "Remixed by", "name of the person, where the remix of this record comes from"),
    QUILLON_FRAME("TOPE", false, ivID3v2_3 | ivID3v2_4, "Original Artist", "name of the artist where the original-record comes from (e.g. if the song is a cover of a previously published song)"),
    QUILLON_FRAME("TEXT", false, ivID3v2_3 | ivID3v2_4, "Lyricist", "name of the person who has written the songtext"),
    QUILLON_FRAME("TOLY", false, ivID3v2_3 | ivID3v2_4, "Original Lyricist", "name of the person, who has written the songtext of the original-record (e.g. if the song is a cover of a previously published song)"),
    QUILLON_FRAME("TCOM", false, ivID3v2_3 | ivID3v2_4, "Composer", "name of the composer"),
    QUILLON_FRAME("TMCL", false, ivID3v2_3 | ivID3v2_4, "Musican Credits", "musician credits list"),
    QUILLON_FRAME("TIPL", false, ivID3v2_3 | ivID3v2_4, "Involved People", "involved people list"),
    QUILLON_FRAME("TENC", false, ivID3v2_3 | ivID3v2_4, "Encoded by", "name of the person, who has encoded this song"),
    QUILLON_FRAME("TBPM", false, ivID3v2_3 | ivID3v2_4, "BPM", "beats per minute"),
    QUILLON_FRAME("TLEN", false, ivID3v2_3 | ivID3v2_4, "Length", "length of the song (ms)"),
    QUILLON_FRAME("TKEY", false, ivID3v2_3 | ivID3v2_4, "Initial Key", ""),
    QUILLON_FRAME("TLAN", false, ivID3v2_3 | ivID3v2_4, "Language", "language(s)"),
    QUILLON_FRAME("TCON", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Content Type", "content type of the record (e.g. Pop, Rock, ...)"),
    QUILLON_FRAME("TFLT", false, ivID3v2_3 | ivID3v2_4, "File Type", ""),
    QUILLON_FRAME("TMED", false, ivID3v2_3 | ivID3v2_4, "Media Type", ""),
    QUILLON_FRAME("TMOO", false, ivID3v2_4, "Mood", "mood of record (e.g. romantic, sad, ...)"),
    QUILLON_FRAME("TCOP", false, ivID3v2_3 | ivID3v2_4, "Copyright", "Copyright"),
    QUILLON_FRAME("TPRO", false, ivID3v2_4, "Produced Notice", ""),
    QUILLON_FRAME("TPUB", false, ivID3v2_3 | ivID3v2_4, "Publisher", "name of the publisher"),
    QUILLON_FRAME("TOWN", false, ivID3v2_3 | ivID3v2_4, "Owner/Licensee", "name of the owner"),
    QUILLON_FRAME("TRSN", false, ivID3v2_3 | ivID3v2_4, "Radio Station Name", "internet radio station name"),
    QUILLON_FRAME("TRSO", false, ivID3v2_3 | ivID3v2_4, "Radio station owner", "internet radio station owner"),
    QUILLON_FRAME("TOFN", false, ivID3v2_3 | ivID3v2_4, "Original Filename", "equivalent filename if the file medium denies the other filename"),
    QUILLON_FRAME("TDLY", false, ivID3v2_3 | ivID3v2_4, "Playlist Delay", ""),
    QUILLON_FRAME("TDEN", false, ivID3v2_4, "Encoding Time", "date (and time), where this record was encoded"),
    QUILLON_FRAME("TDOR", false, ivID3v2_3 | ivID3v2_4, "Original Release Time", "date (and time), where the original record was released"),
    QUILLON_FRAME("TDRC", false, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Recording Time", "date (and time) of the recording"),
    QUILLON_FRAME("TDRL", false, ivID3v2_4, "Release Time", "date (and time) of publication"),
    QUILLON_FRAME("TDTG", false, ivID3v2_4, "Tagging Time", "date (and time), when track information was edited"),
    QUILLON_FRAME("TSSE", false, ivID3v2_3 | ivID3v2_4, "Encoder Name", "name of encoder program"),
    QUILLON_FRAME("TSOA", false, ivID3v2_4, "Album (sort order)", "name of the album for sorting"),
    QUILLON_FRAME("TSOP", false, ivID3v2_4, "Performer (sort order)", "name of the performer for sorting"),
    QUILLON_FRAME("TSOT", false, ivID3v2_4, "Title (sort order)", "name of the title for sorting"),
    QUILLON_FRAME("TXXX", true, ivID3v2_3 | ivID3v2_4, "User Defined", "user defined text information frame"),
    QUILLON_FRAME("WCOM", false, ivID3v2_3 | ivID3v2_4, "Commercial inforamtion (web)", "web address for information about the buyer of the record"),
    QUILLON_FRAME("WCOP", false, ivID3v2_3 | ivID3v2_4, "Copyright (web)", "web address  for information about the copyright of the record"),
    QUILLON_FRAME("WOAF", false, ivID3v2_3 | ivID3v2_4, "Homepage (web)", "official web-address of the record"),
    QUILLON_FRAME("WOAR", false, ivID3v2_3 | ivID3v2_4, "Artist (web)", "web-address of the artist"),
    QUILLON_FRAME("WOAS", false, ivID3v2_3 | ivID3v2_4, "Download Page (web)", "the web-address, where this record was downloaded"),
    QUILLON_FRAME("WORS", false, ivID3v2_3 | ivID3v2_4, "Radio Station (web)", "web-address of the internet radio station, where this record is from"),
    QUILLON_FRAME("WPAY", false, ivID3v2_3 | ivID3v2_4, "Payment (web)", "the web-address, where the payment for this record can be worked off"),
    QUILLON_FRAME("WPUB", false, ivID3v2_3 | ivID3v2_4, "Publisher (web)", "the web-address of the publisher"),
    QUILLON_FRAME("WXXX", true, ivID3v2_3 | ivID3v2_4, "User Defined (web)", "user defined frame for a webpage"),
    QUILLON_FRAME("MCDI", false, ivID3v2_3 | ivID3v2_4, "CDDB Information", ""),
    QUILLON_FRAME("ETCO", false, ivID3v2_3 | ivID3v2_4, "Event Timing Codes", ""),
    QUILLON_FRAME("MLLT", false, ivID3v2_3 | ivID3v2_4, "Location Lookup Table", ""),
    QUILLON_FRAME("SYNC", false, ivID3v2_3 | ivID3v2_4, "Synchronised Tempo Codes", ""),
    QUILLON_FRAME("USLT", false, ivID3v2_3 | ivID3v2_4, "Lyrics (unsynchronised)", ""),
    QUILLON_FRAME("SYLT", false, ivID3v2_3 | ivID3v2_4, "Lyrics", ""),
    QUILLON_FRAME("COMM", true, ivID3v1 | ivID3v2_3 | ivID3v2_4, "Comment", "comment about the record (more lines possible)"),
    QUILLON_FRAME("RVA2", true, ivID3v2_3 | ivID3v2_4, "Volume", ""),
    QUILLON_FRAME("EQU2", true, ivID3v2_3 | ivID3v2_4, "Equalisation", ""),
    QUILLON_FRAME("RVRB", false, ivID3v2_3 | ivID3v2_4, "Reverb", ""),
    QUILLON_FRAME("APIC", true, ivID3v2_3 | ivID3v2_4, "Picture", ""),
    QUILLON_FRAME("GEOB", true, ivID3v2_3 | ivID3v2_4, "General Encapsulated Object", ""),
    QUILLON_FRAME("PCNT", false, ivID3v2_3 | ivID3v2_4, "Play Counter", ""),
    QUILLON_FRAME("POPM", false, ivID3v2_3 | ivID3v2_4, "Popularimeter", ""),
    QUILLON_FRAME("RBUF", false, ivID3v2_3 | ivID3v2_4, "Recommended Buffer Size", ""),
    QUILLON_FRAME("AENC", false, ivID3v2_3 | ivID3v2_4, "Audio Encryption", ""),
    QUILLON_FRAME("LINK", false, ivID3v2_3 | ivID3v2_4, "Linked Information", ""),
    QUILLON_FRAME("POSS", false, ivID3v2_3 | ivID3v2_4, "Position Synchronisation", ""),
    QUILLON_FRAME("USER", true, ivID3v2_3 | ivID3v2_4, "Terms of Use", ""),
    QUILLON_FRAME("OWNE", false, ivID3v2_3 | ivID3v2_4, "Ownership", ""),
    QUILLON_FRAME("COMR", false, ivID3v2_3 | ivID3v2_4, "Commercial", ""),
    QUILLON_FRAME("ENCR", false, ivID3v2_3 | ivID3v2_4, "Encryption Method Registration", ""),
    QUILLON_FRAME("PRIV", true, ivID3v2_3 | ivID3v2_4, "Private", ""),
    QUILLON_FRAME("SIGN", true, ivID3v2_4, "Signature", ""),
    QUILLON_FRAME("SEEK", false, ivID3v2_4, "Seek Frame", ""),
    QUILLON_FRAME("ASPI", false, ivID3v2_4, "Audio Seek Point Index", ""),
}};

#undef QUILLON_FRAME

const TID3FrameName* FindFrameName(const QString& id)
{
    const auto it = std::find_if(ID3FrameNames.begin(), ID3FrameNames.end(),
                                 [&](const TID3FrameName& row) { return id == QLatin1String(row.ID); });
    return it == ID3FrameNames.end() ? nullptr : &*it;
}

QString GetFrameName(const QString& id)
{
    const TID3FrameName* row = FindFrameName(id);
    return row ? EngineText(QLatin1String(row->NameKey), QLatin1String(row->EnglishName)) : QString();
}

QString GetFrameDescription(const QString& id)
{
    const TID3FrameName* row = FindFrameName(id);
    return row ? EngineText(QLatin1String(row->DescKey), QLatin1String(row->EnglishDesc)) : QString();
}

bool IsMultipleFrame(const QString& id)
{
    const TID3FrameName* row = FindFrameName(id);
    return row && row->Multiple;
}

bool IsFrameInVersion(const QString& id, TID3Versions version)
{
    const TID3FrameName* row = FindFrameName(id);
    return row && (row->Versions & version) != 0;
}

QString GetGenreName(int index)
{
    if (index < 0 || index >= GenreCount)
        return {};
    return QLatin1String(ID3Genres[std::size_t(index)]);
}

int FindGenreIndex(const QString& name)
{
    for (int i = 0; i < GenreCount; ++i)
        if (name.compare(QLatin1String(ID3Genres[std::size_t(i)]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString GetLanguageName(const QString& code)
{
    const auto it = std::find_if(ID3Languages.begin(), ID3Languages.end(),
                                 [&](const TID3Language& row) { return code == QLatin1String(row.Code); });
    return it == ID3Languages.end() ? QString() : QString::fromUtf8(it->Name);
}
