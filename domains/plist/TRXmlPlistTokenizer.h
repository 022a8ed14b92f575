#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

// The markup side of reading an XML 1.0 property list: the text's encoding (UTF-8, or UTF-16 with a
// byte-order mark, read as UTF-8 so that positions count the same way), the prolog and the plist root
// element, tags, character data with entities, character references and CDATA resolved, and comments,
// processing instructions and the DOCTYPE skipped. What the tags mean is the reader's business. Every
// fault is recorded with its line and column, and the methods answer false.
class TRXmlPlistTokenizer
{
public:
    struct Tag
    {
        std::string_view name;
        qsizetype at = 0; // offset of its '<'
        bool empty = false;
    };

    explicit TRXmlPlistTokenizer(const QByteArray &bytes);

    // Decodes the text and checks that it is valid UTF-8.
    bool open();
    // Moves past the prolog and the plist start tag to the root value's start tag.
    bool openRoot(Tag *root, Tag *value);
    // After the root value: the plist end tag and nothing but comments and processing instructions.
    bool closeRoot(const Tag &root);
    // Moves to the next child start tag of an open element; *closed is set instead at its end tag.
    bool nextChild(const Tag &parent, Tag *child, bool *closed);
    // The character data of a leaf element up to its end tag, entities resolved. The text lasts until
    // the next call.
    bool readText(const Tag &tag, std::string_view *text);
    // Whether text that readText() answered lies in the document itself, and so lasts as long as it.
    bool inPlace(std::string_view text) const
    {
        return std::less_equal<const char *>()(m_data, text.data()) &&
               std::less_equal<const char *>()(text.data(), m_data + m_size);
    }

    // Records the fault at the byte offset and answers false.
    bool fail(qsizetype offset, const QString &reason);
    const QString &error() const { return m_error; }

    static QString nameText(std::string_view name);

private:
    bool readStartTag(Tag *tag);
    bool readEndTag(const Tag &open);
    bool readName(std::string_view *name);
    bool skipMarkup(bool *skipped); // comments and processing instructions
    bool skipDoctype();
    bool appendReference(); // at '&'
    void skipSpace();
    bool startsWith(std::string_view text) const;

    QByteArray m_bytes; // UTF-8
    const char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    std::string m_text;
    QString m_error;
};
