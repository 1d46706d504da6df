#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Splits a page into tags the way Qt's rich-text reader does: its words
// (quoted or up to the next delimiter), its character references (replaced
// in tag and attribute names and in values, as Qt replaces them), comments,
// declarations such as "<![CDATA[" that end at the first ">", and attributes
// without quotes or without values.

// An attribute of a start tag as Qt reads it.
struct THtmlAttribute {
    QString Name;  // lower case
    QString Value;
    // Where the value's word lies in the text, quotes included.
    qsizetype ValueFrom = 0;
    qsizetype ValueTo = 0;
};

struct THtmlTag {
    enum TKind { Start, End, Declaration };
    TKind Kind = Start;
    // Lower case; an end tag's without the blanks around it.
    QString Name;
    QList<THtmlAttribute> Attributes;
    // A start tag with a "/" before its end, which Qt ends at once.
    bool Closed = false;
    // Where the tag lies in the text: from its "<" to after its end.
    qsizetype From = 0;
    qsizetype To = 0;
};

class THtmlTokenizer {
public:
    explicit THtmlTokenizer(QStringView html) : m_text(html) {}

    // The next tag, or nothing at the end of the text. The text between two
    // tags never holds a "<".
    std::optional<THtmlTag> Next();
    // The text between from and to as Qt reads it, references replaced
    // (it leaves the place of the next tag as it is).
    QString Text(qsizetype from, qsizetype to);

private:
    struct TWord {
        QString Text;
        qsizetype From = 0;
        qsizetype To = 0;
    };

    bool AtEnd() const { return m_pos >= m_text.size(); }
    bool At(char16_t c, qsizetype ahead = 0) const;
    void SkipSpace();
    void SkipPast(char16_t end);
    QString Reference();
    TWord Word();
    QString DoubleQuoted();
    QString SingleQuoted();
    QString Unquoted();
    void ReadDeclaration(THtmlTag& tag);
    void ReadEndTag(THtmlTag& tag);
    void ReadStartTag(THtmlTag& tag);
    void ReadAttributes(THtmlTag& tag);

    QStringView m_text;
    qsizetype m_pos = 0;
};
