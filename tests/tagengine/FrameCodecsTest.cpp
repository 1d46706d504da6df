#include "ReadWriteFixture.h"

#include "tagengine/FrameCodecs.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

TID3Frame FrameWithBody(const QString& id, const QByteArray& body)
{
    TID3Frame frame(id);
    frame.SetBody(body);
    return frame;
}

struct TComment {
    QString Text, Language, Description;
    bool operator==(const TComment&) const = default;
};

TComment Comment(const TID3Frame& frame)
{
    TComment c;
    GetCommentFrame(frame, c.Text, c.Language, c.Description);
    return c;
}

QPair<QString, QString> DescriptionAndURL(const TID3Frame& frame)
{
    QString description, url;
    GetURLFrame(frame, description, url);
    return {description, url};
}

// A body that is fetched on first use, as the reader does for large frames.
class TFixedSource : public TFrameBodySource {
public:
    explicit TFixedSource(QByteArray body) : m_body(std::move(body)) {}
    std::optional<QByteArray> Load() const override { return m_body; }

private:
    QByteArray m_body;
};

const QString NonLatin = QString::fromUtf8("\xD0\x9C\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0 \xF0\x9F\x8E\xB5"); // Cyrillic + U+1F3B5

} // namespace

TEST(FrameCodecs, DecodesEveryEncodingStopsAtTheBodyAndSurvivesDamage)
{
    qsizetype pos = 0;
    const QByteArray latin = Bytes({'A', 0xE9, 0, 'B'});
    EXPECT_EQ(DecodeID3Text(latin, 0, pos), QString::fromUtf8("A\xC3\xA9"));
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(DecodeID3Text(latin, 0, pos), "B");
    EXPECT_EQ(DecodeID3Text(latin, 0, pos), "");
    EXPECT_EQ(pos, 4);

    pos = 0;
    EXPECT_EQ(DecodeID3Text(latin, 4, pos), "");
    EXPECT_EQ(pos, 0);
    pos = 99;
    EXPECT_EQ(DecodeID3Text(latin, 0, pos), "");
    pos = -1;
    EXPECT_EQ(DecodeID3Text(latin, 0, pos), "");

    pos = 0;
    const QByteArray utf8 = NonLatin.toUtf8() + Bytes({0});
    EXPECT_EQ(DecodeID3Text(utf8, 3, pos), NonLatin);
    EXPECT_EQ(pos, utf8.size());

    pos = 0;
    QByteArray utf16be;
    for (QChar c : NonLatin)
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    EXPECT_EQ(DecodeID3Text(utf16be + Bytes({0, 0, 0, 'x'}), 2, pos), NonLatin);
    EXPECT_EQ(pos, utf16be.size() + 2);

    pos = 0;
    // No BOM: little-endian. Then a BOM FE FF switches to big-endian.
    const QByteArray mixed = Bytes({'a', 0, 0, 0, 0xFE, 0xFF, 0, 'b', 0, 0});
    EXPECT_EQ(DecodeID3Text(mixed, 1, pos), "a");
    EXPECT_EQ(DecodeID3Text(mixed, 1, pos), "b");
    EXPECT_EQ(pos, mixed.size());

    // A surrogate pair decodes to one character.
    pos = 0;
    EXPECT_EQ(DecodeID3Text(Bytes({0xFF, 0xFE, 0x3C, 0xD8, 0xB5, 0xDF}), 1, pos), QString::fromUtf8("\xF0\x9F\x8E\xB5"));

    // Unterminated with an odd trailing byte: the last whole unit is kept, the
    // odd byte is never read as half a character.
    pos = 0;
    const QByteArray odd = Bytes({0xFF, 0xFE, 'A', 0, 'B'});
    EXPECT_EQ(DecodeID3Text(odd, 1, pos), "A");
    EXPECT_EQ(pos, odd.size());

    // A lone high surrogate at the end becomes U+FFFD.
    pos = 0;
    const QString lone = DecodeID3Text(Bytes({0xFF, 0xFE, 'A', 0, 0x3C, 0xD8}), 1, pos);
    ASSERT_EQ(lone.size(), 2);
    EXPECT_EQ(lone.at(1), QChar(QChar::ReplacementCharacter));
}

TEST(FrameCodecs, ChoosesLatin1OnlyWhenEverythingFits)
{
    EXPECT_EQ(ChooseEncoding({}), 0);
    EXPECT_EQ(ChooseEncoding({QString::fromUtf8("Caf\xC3\xA9"), "x"}), 0);
    EXPECT_EQ(ChooseEncoding({"x", NonLatin}), 1);
    EXPECT_EQ(EncodeID3Text("ab", 1), Bytes({0xFF, 0xFE, 'a', 0, 'b', 0}));
    EXPECT_EQ(EncodeID3Text("", 1), Bytes({0xFF, 0xFE})) << "an empty UTF-16 string keeps its BOM";
}

TEST(FrameCodecs, LeadingNumbersAndGenreReferencesNeverWrap)
{
    EXPECT_EQ(ParseLeadingNumber("4294967295/9"), 4294967295u);
    EXPECT_EQ(ParseLeadingNumber("4294967296"), std::nullopt);
    EXPECT_EQ(ParseLeadingNumber(" 7"), std::nullopt);
    EXPECT_EQ(ParseLeadingNumber(QString::fromUtf8("\xD9\xA3")), std::nullopt); // Arabic-Indic three

    // Genre references keep what does not fit.
    EXPECT_EQ(DecodeGenre("17"), "Rock");
    EXPECT_EQ(DecodeGenre("99999999999999999999"), "99999999999999999999");
    EXPECT_EQ(DecodeGenre("(255)"), "(255)");
    EXPECT_EQ(DecodeGenre("(4294967313)"), "(4294967313)"); // would wrap to 17
    EXPECT_EQ(DecodeGenre("(17)Hard Rock"), "Hard Rock");
    EXPECT_EQ(DecodeGenre("(17"), "(17");
}

TEST(FrameCodecs, TextFramesSkipEmptyStringsAndRoundTrip)
{
    EXPECT_EQ(TextLines(FrameWithBody("TPE1", Bytes({0, 'a', 0, 0, 'b'}))), (QStringList{"a", "b"}));
    EXPECT_TRUE(TextLines(FrameWithBody("TPE1", {})).isEmpty());
    EXPECT_TRUE(TextLines(FrameWithBody("TPE1", Bytes({7, 'a'}))).isEmpty());
    EXPECT_EQ(GetFirstText(Bytes({0, 'x', 0, 'y'})), "x");

    TID3Frame frame("TPE1");
    SetTextFrame(frame, "ignored", {""});
    EXPECT_EQ(frame.Body(), Bytes({0}));

    SetTextFrame(frame, {}, {"One", QString::fromUtf8("Tw\xC3\xB6")});
    EXPECT_EQ(TextLines(frame), (QStringList{"One", QString::fromUtf8("Tw\xC3\xB6")}));

    SetTextFrameLines(frame, {}, {"One", NonLatin});
    EXPECT_EQ(frame.Body().at(0), 1);
    EXPECT_EQ(TextLines(frame), (QStringList{"One", NonLatin}));

    // A body that is loaded later reads the same.
    const QByteArray body("\0Late", 5);
    frame.SetDeferredBody(std::make_shared<TFixedSource>(body), body.size());
    EXPECT_EQ(TextLines(frame), QStringList{"Late"});
}

TEST(FrameCodecs, UserTextFramesCarryTheirDescription)
{
    QString description;
    TID3Frame txxx("TXXX");
    SetTextFrame(txxx, "Mood", {"calm"});
    EXPECT_EQ(txxx.Body(), QByteArray("\0Mood\0calm", 10));
    EXPECT_EQ(TextLines(txxx, &description), QStringList{"calm"});
    EXPECT_EQ(description, "Mood");

    // A non-Latin description alone makes the whole frame UTF-16.
    SetTextFrame(txxx, NonLatin, {"calm"});
    EXPECT_EQ(txxx.Body().at(0), 1);
    EXPECT_EQ(TextLines(txxx, &description), QStringList{"calm"});
    EXPECT_EQ(description, NonLatin);

    // Only a description: no text, and the description survives an edit.
    txxx.SetBody(QByteArray("\0Mood", 5));
    EXPECT_EQ(GetFrameAsText(txxx), "");
    SetFrameAsText(txxx, "happy");
    EXPECT_EQ(TextLines(txxx, &description), QStringList{"happy"});
    EXPECT_EQ(description, "Mood");
}

TEST(FrameCodecs, CommentsKeepLanguageDescriptionAndLines)
{
    EXPECT_EQ(Comment(FrameWithBody("COMM", QByteArray("\0en\0desc\0text", 13))), (TComment{"text", "en", "desc"}));
    EXPECT_EQ(Comment(FrameWithBody("COMM", QByteArray("\0eng", 4))), (TComment{"", "eng", ""}));
    EXPECT_EQ(Comment(FrameWithBody("COMM", QByteArray("\0en", 3))).Language, "");

    TID3Frame comm("COMM");
    SetCommentFrame(comm, {"", "first", "", "third"}, "d", "de");
    EXPECT_EQ(comm.Body(), QByteArray("\0de\0d\0first\n\nthird", 18));

    SetCommentFrame(comm, {NonLatin, "second"}, "", "english");
    EXPECT_EQ(comm.Body().at(0), 1);
    EXPECT_EQ(comm.Body().mid(1, 3), "eng");
    EXPECT_EQ(Comment(comm), (TComment{NonLatin + "\nsecond", "eng", ""}));

    // As text: CR LF in, the stored LF out; language and description kept.
    SetCommentFrame(comm, {"x"}, "note", "fra");
    SetFrameAsText(comm, "line 1\r\nline 2\rline 3");
    EXPECT_EQ(Comment(comm), (TComment{"line 1\nline 2\nline 3", "fra", "note"}));
    EXPECT_EQ(GetFrameAsText(comm), "line 1\nline 2\nline 3");
}

TEST(FrameCodecs, URLFramesRoundTrip)
{
    TID3Frame woar("WOAR");
    SetURLFrame(woar, "dropped", "http://example.org/a");
    EXPECT_EQ(woar.Body(), "http://example.org/a");

    TID3Frame wxxx("WXXX");
    // A UTF-16 description; the URL stays 8-bit, characters beyond Latin-1
    // are percent-encoded instead of lost.
    SetURLFrame(wxxx, NonLatin, QString::fromUtf8("http://example.org/\xD0\x9C"));
    EXPECT_EQ(wxxx.Body().at(0), 1);
    EXPECT_TRUE(wxxx.Body().endsWith(QByteArray("\0\0http://example.org/%D0%9C", 27)));
    EXPECT_EQ(DescriptionAndURL(wxxx), qMakePair(NonLatin, QString("http://example.org/%D0%9C")));

    SetFrameAsText(wxxx, "ftp://example.org/c");
    EXPECT_EQ(DescriptionAndURL(wxxx), qMakePair(NonLatin, QString("ftp://example.org/c")));
    EXPECT_EQ(GetFrameAsText(wxxx), "ftp://example.org/c");
}

TEST(FrameCodecs, FrameAsTextKeepsMultipleValues)
{
    TID3Frame tpe1("TPE1");
    SetTextFrame(tpe1, {}, {"Artist A", NonLatin});
    const QString text = GetFrameAsText(tpe1);
    EXPECT_EQ(text, "Artist A\r\n" + NonLatin);
    TID3Frame copy("TPE1");
    SetFrameAsText(copy, text);
    EXPECT_EQ(copy.Body(), tpe1.Body());

    SetFrameAsText(copy, "a\nb\rc\r\n");
    EXPECT_EQ(TextLines(copy), (QStringList{"a", "b", "c"}));
    SetFrameAsText(copy, "");
    EXPECT_EQ(copy.Body(), Bytes({0}));

    TID3Frame apic("APIC");
    apic.SetBody("data");
    EXPECT_THROW(GetFrameAsText(apic), TFrameTextError);
    EXPECT_THROW(SetFrameAsText(apic, "x"), TFrameTextError);
    EXPECT_EQ(apic.Body(), "data");
    EXPECT_THROW(GetFrameAsText(TID3Frame()), TFrameTextError);
}

TEST(FrameCodecs, EncryptedFramesAreNeverDecodedOrOverwritten)
{
    const QByteArray cipher("\0en\0secret\0more", 15);
    for (const char* id : {"TIT2", "TXXX", "COMM", "WXXX", "WOAR"}) {
        TID3Frame frame = FrameWithBody(id, cipher);
        frame.Encryption = 1;
        QString description;
        EXPECT_TRUE(TextLines(frame, &description).isEmpty()) << id;
        EXPECT_EQ(description, "");
        EXPECT_EQ(Comment(frame), TComment());
        EXPECT_EQ(DescriptionAndURL(frame), qMakePair(QString(), QString()));
        EXPECT_THROW(GetFrameAsText(frame), TFrameTextError) << id;
        EXPECT_THROW(SetFrameAsText(frame, "plain"), TFrameTextError) << id;
        EXPECT_EQ(frame.Body(), cipher);
    }
}

// A body built from values is stored plainly: the flags of how a read body
// was stored go, the status flags stay.
TEST(FrameCodecs, BuiltBodiesArePlainFrames)
{
    const std::vector<std::pair<const char*, std::function<void(TID3Frame&)>>> builders = {
        {"TPE1", [](TID3Frame& f) { SetTextFrame(f, QString(), {"Artist"}); }},
        {"TXXX", [](TID3Frame& f) { SetTextFrameLines(f, "key", {"value"}); }},
        {"COMM", [](TID3Frame& f) { SetCommentFrame(f, {"text"}, "d", "eng"); }},
        {"WXXX", [](TID3Frame& f) { SetURLFrame(f, "site", "http://a.b/"); }},
        {"WOAR", [](TID3Frame& f) { SetURLFrame(f, QString(), "http://a.b/"); }},
    };
    for (const auto& [id, build] : builders) {
        TID3Frame frame = FrameWithBody(id, "\x01stored");
        frame.Encryption = frame.Compression = frame.DataLengthIndicator = frame.Unsynchronisation = 1;
        frame.Grouping = 1;
        frame.GroupId = 9;
        frame.ReadOnly = frame.TagAlterPreservation = frame.FileAlterPreservation = 1;
        build(frame);
        EXPECT_EQ(frame.Encryption + frame.Compression + frame.DataLengthIndicator + frame.Unsynchronisation
                      + frame.Grouping + frame.GroupId,
                  0)
            << id;
        EXPECT_EQ(frame.ReadOnly + frame.TagAlterPreservation + frame.FileAlterPreservation, 3) << id;
        EXPECT_NO_THROW(GetFrameAsText(frame)) << id;
    }
}

TEST(FrameCodecs, ShortAndHostileBodiesStayInside)
{
    // Every body of up to five bytes from an alphabet of encodings, BOM
    // halves, NULs and text: the getters must neither crash nor loop.
    const char alphabet[] = {0, 1, 2, 3, 4, char(0xFF), char(0xFE), 'a'};
    const char* ids[] = {"TIT2", "TXXX", "COMM", "WXXX", "WOAR"};
    QByteArray body;
    std::function<void(int)> grow = [&](int left) {
        for (const char* id : ids) {
            const TID3Frame frame = FrameWithBody(id, body);
            TextLines(frame);
            Comment(frame);
            DescriptionAndURL(frame);
        }
        GetFirstText(body);
        if (left == 0)
            return;
        for (char c : alphabet) {
            body.append(c);
            grow(left - 1);
            body.chop(1);
        }
    };
    grow(5);
    SUCCEED();
}
