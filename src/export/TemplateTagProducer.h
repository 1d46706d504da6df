#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The attributes of one template tag, one line "name=value" each, in the
// order written.
class TTagParams {
public:
    QStringList Lines;

    // The text after the first "=" of the first line whose name (before that
    // "=") equals name, ignoring case; empty when there is none.
    QString Value(const QString& name) const;
};

// Expands a text template in which tags stand: "<#", a name and, up to the
// closing ">", attributes name=value separated by blanks. Each tag is handed
// to the handler with its attributes, and the text the handler returns takes
// the tag's place; all other text is copied as it stands.
//
// The template is held as lines; the expansion is made from the lines, each
// ended by CR LF. A "<" followed by blanks drops those blanks; a second "<"
// right after a "<" is plain text. A ">" inside quotes does not end a tag.
// Attribute fields are cut at blanks outside double quotes, their quotes
// stripped and their values URL-decoded ("+" a blank, "%%" a "%", "%41" an
// "A"). A "%" without two hexadecimal digits ends the expansion with a
// TExportError. Lines may be of any length.
class TTemplateTagProducer {
public:
    using THandler = std::function<void(TTemplateTagProducer& sender, const QString& tag, const TTagParams& params,
                                        QString& replaceText)>;

    TTemplateTagProducer() = default;
    virtual ~TTemplateTagProducer() = default;
    TTemplateTagProducer(const TTemplateTagProducer&) = delete;
    TTemplateTagProducer& operator=(const TTemplateTagProducer&) = delete;

    // Splits the text into lines at CR LF, a lone CR or a lone LF.
    void SetHTMLDoc(const QString& text);
    const QStringList& HTMLDoc() const { return m_lines; }
    // The lines joined, each followed by CR LF.
    QString HTMLDocText() const;

    bool StripParamQuotes() const { return m_stripParamQuotes; }
    void SetStripParamQuotes(bool strip);
    void SetOnHTMLTag(THandler handler) { m_handler = std::move(handler); }

    // The expanded template: the handler runs once per tag, in text order.
    // Throws TExportError for a malformed attribute.
    QString Content();

private:
    // The template cut into copied text and tags, made once per template.
    struct TPiece {
        QString Text; // copied text, or the tag's name
        bool IsTag = false;
        TTagParams Params;
    };
    using TPieces = std::vector<TPiece>;

    std::shared_ptr<const TPieces> Pieces();

    QStringList m_lines;
    bool m_stripParamQuotes = true;
    THandler m_handler;
    std::shared_ptr<const TPieces> m_pieces;
};
