// Txmltry: the small XML accessor through which every interchange writer and reader
// touches XML. It owns one pugixml document, addresses nodes by comma-separated paths
// ("brivel,memos,memo#12"), reads and overwrites attributes at such paths and stores the
// document as a compressed container: an 8-byte little-endian length of the XML text,
// then that text as one zlib stream.
#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>

class Txmltry
{
public:
    // Parse options of every document: comments and processing instructions are kept (they
    // count as children), whitespace-only text is dropped (the default of pugixml). No
    // pugixml flag makes it refuse XML that is not well-formed; the loaders check that.
    static constexpr unsigned int kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;
    // Files with a longer XML text are refused on reading, so none is ever written.
    static constexpr qint64 kMaxXmlLength = qint64(1) << 30;

    Txmltry();
    ~Txmltry();
    Txmltry(const Txmltry &) = delete;
    Txmltry &operator=(const Txmltry &) = delete;

    // Parses the bytes (UTF-8 unless a byte-order mark or '<' written in UTF-16 or UTF-32
    // says otherwise, or the declaration names Latin-1) as the new document. Throws
    // JotterlyError on XML that is not well-formed, including what pugixml alone accepts:
    // a bare '&' or an undefined entity, a reference to a character XML does not allow,
    // '<' in an attribute value, an attribute given twice, bytes not in the encoding,
    // characters XML does not allow, a second root, or text before or after the root.
    // The old document is kept then.
    void LoadFromText(const QByteArray &text);

    // The node the path resolves to. The first component stands for the root and is not
    // compared; "name#N" takes child N (0-based, over all child nodes including comments
    // and processing instructions), any other component the first child with that name.
    // A missing name or an index out of range leaves the walk at the deepest node reached.
    // Throws JotterlyError when the text after "#" is not a decimal integer.
    // Callers may append children to the returned node; sequential indexes are resolved in
    // constant time from the previous position, so children must not be removed or inserted
    // before existing ones between calls.
    pugi::xml_node FindNode(const QString &path);

    // The number of "," characters in the text.
    static int CountCommas(const QString &text);

    // The number of child nodes of every kind of the node at the path.
    int ChildCount(const QString &path);

    // The attribute's value (UTF-8 bytes) at the path. When the node has no such attribute,
    // shows the error box "<path>: <name> not Exist !" and returns an empty value.
    QByteArray GetAttr(const QString &path, const QString &name);

    // Overwrites an existing attribute at the path and returns true. Never creates one: when
    // the attribute is missing, shows the same error box as GetAttr, changes nothing and
    // returns false.
    bool SetAttr(const QString &path, const QString &name, const QByteArray &value);

    // Writes the document as the compressed container, through a temporary file that
    // replaces the target only when complete (owner-only permissions). Control characters
    // other than tab, CR and LF are left out, since XML cannot hold them. Throws
    // JotterlyError on any failure; an existing target file is then left as it was.
    void SaveToFile(const QString &fileName);

    // Reads a compressed container and makes its XML the document. Throws JotterlyError when
    // the file cannot be read, the length field is negative or above kMaxXmlLength, the
    // zlib data is corrupt or yields fewer bytes than the length field, or the XML is not
    // well-formed (as for LoadFromText); the old document is kept then. Output beyond the
    // length field is ignored.
    void LoadFromFile(const QString &fileName);

    // The document itself, for writers that append elements to found nodes.
    pugi::xml_document &Document() { return *document; }

private:
    // Remembers where the last "#N" step ended, so a reader walking index 0, 1, 2, ...
    // steps one sibling per call instead of walking from the first child every time.
    struct IndexCache
    {
        pugi::xml_node parent;
        pugi::xml_node child;
        long long index = -1;
    };

    pugi::xml_node ChildAt(pugi::xml_node parent, long long index);
    void ReplaceDocument(std::unique_ptr<pugi::xml_document> parsed);

    std::unique_ptr<pugi::xml_document> document;
    IndexCache indexCache;
};
