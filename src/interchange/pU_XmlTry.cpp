// Txmltry: paths into a pugixml document, its compressed container, and the check that
// refuses what pugixml would accept although it is not well-formed XML.
#include "pU_XmlTry.h"

#include "Boxes.h"
#include "JotterlyError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <zlib.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kHeaderSize = 8;
constexpr qsizetype kIoChunk = 256 * 1024;

QString nativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

// The node name as a DOM reports it, so that a path component never matches text or
// comment nodes (pugixml gives those an empty name).
const char *domNodeName(const pugi::xml_node &node)
{
    switch (node.type()) {
    case pugi::node_comment: return "#comment";
    case pugi::node_pcdata: return "#text";
    case pugi::node_cdata: return "#cdata-section";
    default: return node.name();
    }
}

// A decimal integer with an optional sign and nothing else around it.
bool parseIndex(QStringView text, long long &value)
{
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    if (pos == text.size())
        return false;
    long long result = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            return false;
        if (result > (LLONG_MAX - (c - u'0')) / 10)
            return false;
        result = result * 10 + (c - u'0');
    }
    value = negative ? -result : result;
    return true;
}

void storeLittleEndian64(qint64 value, char *out)
{
    const quint64 bits = static_cast<quint64>(value);
    for (int i = 0; i < kHeaderSize; ++i)
        out[i] = static_cast<char>((bits >> (8 * i)) & 0xff);
}

qint64 loadLittleEndian64(const char *in)
{
    quint64 bits = 0;
    for (int i = kHeaderSize - 1; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(in[i]);
    return static_cast<qint64>(bits);
}

// Receives the serializer's output piece by piece and deflates it straight into the file,
// counting the uncompressed length, so the whole XML text never sits in memory at once.
class DeflatingWriter : public pugi::xml_writer
{
public:
    explicit DeflatingWriter(QIODevice &target) : out(target), outBuffer(kIoChunk)
    {
        if (deflateInit2(&stream, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            fail(QStringLiteral("the compressor cannot start"));
        else
            started = true;
    }
    ~DeflatingWriter() override
    {
        if (started)
            deflateEnd(&stream);
    }

    void write(const void *data, size_t size) override
    {
        if (!error.isEmpty())
            return;
        length += static_cast<qint64>(size);
        if (length > Txmltry::kMaxXmlLength) {
            fail(QStringLiteral("the document is larger than %1 bytes").arg(Txmltry::kMaxXmlLength));
            return;
        }
        const auto *bytes = static_cast<const Bytef *>(data);
        while (size > 0 && error.isEmpty()) {
            const uInt piece = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
            pump(bytes, piece, Z_NO_FLUSH);
            bytes += piece;
            size -= piece;
        }
    }

    // Ends the stream; afterwards error() tells whether everything reached the device.
    void finish()
    {
        if (error.isEmpty())
            pump(nullptr, 0, Z_FINISH);
    }

    qint64 xmlLength() const { return length; }
    const QString &errorText() const { return error; }

private:
    void fail(const QString &text)
    {
        if (error.isEmpty())
            error = text;
    }

    void pump(const Bytef *data, uInt size, int flush)
    {
        stream.next_in = const_cast<Bytef *>(data);
        stream.avail_in = size;
        int rc = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(outBuffer.data());
            stream.avail_out = static_cast<uInt>(outBuffer.size());
            rc = deflate(&stream, flush);
            if (rc == Z_STREAM_ERROR) {
                fail(QStringLiteral("compression failed"));
                return;
            }
            const qint64 produced = static_cast<qint64>(outBuffer.size()) - stream.avail_out;
            if (produced > 0 && out.write(outBuffer.data(), produced) != produced) {
                fail(out.errorString());
                return;
            }
        } while (stream.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    }

    QIODevice &out;
    std::vector<char> outBuffer;
    z_stream stream{};
    bool started = false;
    qint64 length = 0;
    QString error;
};

// Passes the serializer's output on without the references "&#NN;" that pugixml writes
// for control characters other than tab, LF and CR: XML cannot carry those, not even as
// references, and the reader refuses them, so a file holding one could never be read
// back. pugixml writes '&' itself as "&amp;", so "&#" begins nothing else, and two '&'
// never follow each other.
class ControlReferenceFilter : public pugi::xml_writer
{
public:
    explicit ControlReferenceFilter(pugi::xml_writer &target) : out(target) {}

    void write(const void *data, size_t size) override
    {
        const char *bytes = static_cast<const char *>(data);
        const char *const end = bytes + size;
        while (bytes < end) {
            if (held == 0) {
                const auto *amp = static_cast<const char *>(std::memchr(bytes, '&', size_t(end - bytes)));
                const char *plainEnd = amp ? amp : end;
                if (plainEnd > bytes)
                    out.write(bytes, size_t(plainEnd - bytes));
                if (!amp)
                    return;
                bytes = amp;
            }
            // pugixml writes each reference in one piece today; should one ever be split
            // between two calls, it is held until complete.
            pending[held++] = *bytes++;
            if (!couldBeControlReference())
                release();
            else if (held == kLength)
                dropOrRelease();
        }
    }

    // Passes on what is still held; call after the serializer is done.
    void finish() { release(); }

private:
    static constexpr int kLength = 5; // "&#NN;"

    bool couldBeControlReference() const
    {
        const char expected[kLength] = {'&', '#', '0', '0', ';'};
        for (int i = 0; i < held; ++i) {
            const bool digit = i == 2 || i == 3;
            if (digit ? (pending[i] < '0' || pending[i] > '9') : pending[i] != expected[i])
                return false;
        }
        return true;
    }

    void dropOrRelease()
    {
        const int value = (pending[2] - '0') * 10 + (pending[3] - '0');
        if (value == '\t' || value == '\n' || value == '\r')
            release();
        else
            held = 0;
    }

    void release()
    {
        if (held > 0)
            out.write(pending, size_t(held));
        held = 0;
    }

    pugi::xml_writer &out;
    char pending[kLength] = {};
    int held = 0;
};

// Inflates the container's zlib stream from a device into a growing buffer that is handed
// to the parser afterwards. Memory grows with the data actually inflated, never with the
// length field alone, so a forged length cannot make the program allocate gigabytes.
class ContainerInflater
{
public:
    ContainerInflater(QIODevice &source, const QString &fileName)
        : in(source), name(fileName), inBuffer(kIoChunk)
    {
        if (inflateInit(&stream) != Z_OK)
            throw JotterlyError(message(QStringLiteral("the decompressor cannot start")));
        started = true;
    }
    ~ContainerInflater()
    {
        if (started)
            inflateEnd(&stream);
        std::free(buffer);
    }

    // Inflates exactly `wanted` bytes; throws when the data ends early or is corrupt.
    void inflateExactly(qint64 wanted, qint64 compressedHint)
    {
        const size_t target = static_cast<size_t>(wanted);
        // A first guess from the compressed size; XML rarely packs tighter than 1:8.
        size_t capacity = std::min(target, std::max<size_t>(64 * 1024, size_t(compressedHint) * 8));
        grow(std::max<size_t>(capacity, 1));
        int rc = Z_OK;
        while (filled < target) {
            if (!refill())
                break;
            if (filled == capacity) {
                capacity = std::min(target, capacity * 2);
                grow(capacity);
            }
            const size_t room = std::min<size_t>(capacity - filled, UINT_MAX);
            stream.next_out = reinterpret_cast<Bytef *>(buffer + filled);
            stream.avail_out = static_cast<uInt>(room);
            rc = inflate(&stream, Z_NO_FLUSH);
            filled += room - stream.avail_out;
            if (rc == Z_STREAM_END)
                break;
            checkInflateResult(rc);
        }
        if (filled < target) {
            throw JotterlyError(message(QStringLiteral("the data ends after %1 of %2 bytes")
                                            .arg(qulonglong(filled)).arg(qulonglong(target))));
        }
        if (rc != Z_STREAM_END)
            verifyEndOrSurplus();
    }

    // Gives up ownership of the inflated bytes (allocated with malloc, as pugixml frees).
    char *release()
    {
        char *result = buffer;
        buffer = nullptr;
        return result;
    }

private:
    QString message(const QString &what) const
    {
        return QStringLiteral("Cannot read %1: %2").arg(nativeName(name), what);
    }

    void grow(size_t capacity)
    {
        char *larger = static_cast<char *>(std::realloc(buffer, capacity));
        if (!larger)
            throw JotterlyError(message(QStringLiteral("out of memory")));
        buffer = larger;
    }

    // Makes input available; false at the end of the file.
    bool refill()
    {
        if (stream.avail_in > 0)
            return true;
        const qint64 got = in.read(inBuffer.data(), static_cast<qint64>(inBuffer.size()));
        if (got < 0)
            throw JotterlyError(message(in.errorString()));
        stream.next_in = reinterpret_cast<Bytef *>(inBuffer.data());
        stream.avail_in = static_cast<uInt>(got);
        return got > 0;
    }

    void checkInflateResult(int rc) const
    {
        if (rc == Z_OK || rc == Z_BUF_ERROR) // Z_BUF_ERROR: merely needs more input
            return;
        const QString detail = stream.msg ? QString::fromLatin1(stream.msg) : QStringLiteral("code %1").arg(rc);
        throw JotterlyError(message(QStringLiteral("the compressed data is corrupt (%1)").arg(detail)));
    }

    // All wanted bytes are there. Either the stream ends right here, in which case its
    // checksum is checked, or it holds more output, which is ignored unchecked.
    void verifyEndOrSurplus()
    {
        for (;;) {
            if (!refill())
                throw JotterlyError(message(QStringLiteral("the compressed data is incomplete")));
            char surplus = 0;
            stream.next_out = reinterpret_cast<Bytef *>(&surplus);
            stream.avail_out = 1;
            const int rc = inflate(&stream, Z_NO_FLUSH);
            if (rc == Z_STREAM_END || stream.avail_out == 0)
                return;
            checkInflateResult(rc);
        }
    }

    QIODevice &in;
    QString name;
    std::vector<char> inBuffer;
    z_stream stream{};
    bool started = false;
    char *buffer = nullptr;
    size_t filled = 0;
};


// ---- Well-formedness -------------------------------------------------------------------
// pugixml checks the tag structure (names, nesting, quotes) but lets through much that XML
// forbids. XmlConformanceScan walks the UTF-8 text once, before pugixml parses it in place,
// and finds the rest: a '&' that begins no reference or names an undefined entity, a
// reference to a character XML does not allow, '<' in an attribute value, an attribute
// given twice, bytes that are not UTF-8, characters XML does not allow, "]]>" in text,
// "--" in a comment, a misplaced XML declaration, and anything but white space, comments
// and processing instructions around the one document element. It follows the markup
// only as far as it must to know where it is; what pugixml checks it need not repeat.

struct XmlProblem
{
    const char *what;
    qlonglong offset;
};

enum ByteClass : std::uint16_t {
    kLt = 1 << 0,
    kAmp = 1 << 1,
    kQuot = 1 << 2,
    kApos = 1 << 3,
    kLBracket = 1 << 4,
    kRBracket = 1 << 5,
    kDash = 1 << 6,
    kQuestion = 1 << 7,
    kGt = 1 << 8,
    kSpace = 1 << 9,
    kNameEnd = 1 << 10,
    kSpecial = 1 << 11, // not ASCII, or a control character XML does not allow
};

constexpr std::array<std::uint16_t, 256> makeByteClasses()
{
    std::array<std::uint16_t, 256> classes{};
    for (int c = 0; c < 0x20; ++c)
        classes[c] = kSpecial;
    for (int c = 0x80; c < 0x100; ++c)
        classes[c] = kSpecial;
    classes[' '] = classes['\t'] = classes['\n'] = classes['\r'] = kSpace;
    // A name ends at any of these, so a malformed tag never sends the scan into a value.
    classes['<'] = kLt | kNameEnd;
    classes['&'] = kAmp | kNameEnd;
    classes['"'] = kQuot | kNameEnd;
    classes['\''] = kApos | kNameEnd;
    classes['>'] = kGt | kNameEnd;
    classes['='] = kNameEnd;
    classes['/'] = kNameEnd;
    classes['['] = kLBracket;
    classes[']'] = kRBracket;
    classes['-'] = kDash;
    classes['?'] = kQuestion;
    return classes;
}

constexpr std::array<std::uint16_t, 256> kByteClasses = makeByteClasses();

constexpr bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

class XmlConformanceScan
{
public:
    // The first thing in the UTF-8 text (a byte-order mark may lead) that is not
    // well-formed XML, or nothing. Never reads outside the bytes given.
    static std::optional<XmlProblem> find(const char *data, size_t size)
    {
        XmlConformanceScan scan(data, size);
        if (scan.document())
            return std::nullopt;
        return XmlProblem{scan.problem, qlonglong(scan.problemAt - scan.begin)};
    }

private:
    using Byte = unsigned char;

    XmlConformanceScan(const char *data, size_t size)
        : begin(reinterpret_cast<const Byte *>(data)), end(begin + size), p(begin), contentStart(begin)
    {
    }

    bool fail(const char *what, const Byte *at)
    {
        problem = what;
        problemAt = at;
        return false;
    }
    bool fail(const char *what) { return fail(what, p); }

    template <size_t N>
    bool startsWith(const char (&literal)[N]) const
    {
        return size_t(end - p) >= N - 1 && std::memcmp(p, literal, N - 1) == 0;
    }

    void skipSpace()
    {
        while (p < end && (kByteClasses[*p] & kSpace))
            ++p;
    }

    // Moves to the next byte of one of the classes in `stops` (or to the end), checking
    // every character passed; false on one that is not allowed.
    bool skipTo(std::uint16_t stops)
    {
        const std::uint16_t mask = stops | kSpecial;
        for (;;) {
            while (p < end && !(kByteClasses[*p] & mask))
                ++p;
            if (p == end || !(kByteClasses[*p] & kSpecial))
                return true;
            if (!character())
                return false;
        }
    }

    // skipTo(kLt | kAmp | class of `third`) for attribute values and text, where nearly
    // every byte is plain. With SSE2 it tests 16 bytes at a time and jumps to the first
    // that is '<', '&', `third`, a control character or not ASCII.
    bool skipText(Byte third)
    {
        const std::uint16_t stops = kLt | kAmp | (kByteClasses[third] & (kQuot | kApos | kRBracket));
#ifdef __SSE2__
        const __m128i below = _mm_set1_epi8(0x20); // signed: catches 0x80..0xFF as well
        const __m128i lt = _mm_set1_epi8('<');
        const __m128i amp = _mm_set1_epi8('&');
        const __m128i other = _mm_set1_epi8(static_cast<char>(third));
        const std::uint16_t mask = stops | kSpecial;
        while (end - p >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(block, below), _mm_cmpeq_epi8(block, lt)),
                                              _mm_or_si128(_mm_cmpeq_epi8(block, amp), _mm_cmpeq_epi8(block, other)));
            const int bits = _mm_movemask_epi8(hits);
            if (bits == 0) {
                p += 16;
                continue;
            }
            p += qCountTrailingZeroBits(static_cast<unsigned>(bits));
            if (!(kByteClasses[*p] & mask))
                ++p; // a tab or line break
            else if (!(kByteClasses[*p] & kSpecial))
                return true;
            else if (!character())
                return false;
        }
#endif
        return skipTo(stops);
    }

    // One character that is not plain ASCII text, at p: a whole UTF-8 sequence of a
    // character XML allows, or a failure.
    bool character()
    {
        const Byte lead = *p;
        if (lead < 0x80)
            return fail("a control character XML does not allow");
        // The ranges of the second byte rule out overlong forms, surrogates and values
        // beyond U+10FFFF.
        int length = 0;
        Byte low = 0x80, high = 0xBF;
        char32_t value = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return fail("bytes that are not UTF-8");
        }
        if (end - p < length)
            return fail("bytes that are not UTF-8");
        for (int i = 1; i < length; ++i) {
            if (p[i] < low || p[i] > high)
                return fail("bytes that are not UTF-8");
            value = (value << 6) | (p[i] & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (!isXmlChar(value))
            return fail("a character XML does not allow");
        p += length;
        return true;
    }

    // A reference from its '&': one of the five predefined entities or a numeric reference
    // to a character XML allows.
    bool reference()
    {
        const Byte *start = p++;
        if (p < end && *p == '#') {
            ++p;
            const bool hex = p < end && *p == 'x';
            if (hex)
                ++p;
            char32_t value = 0;
            const Byte *digits = p;
            for (; p < end; ++p) {
                int digit = -1;
                if (*p >= '0' && *p <= '9')
                    digit = *p - '0';
                else if (hex && *p >= 'a' && *p <= 'f')
                    digit = *p - 'a' + 10;
                else if (hex && *p >= 'A' && *p <= 'F')
                    digit = *p - 'A' + 10;
                if (digit < 0)
                    break;
                // Saturates above the last code point, so long digit strings cannot wrap.
                value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
            }
            if (p == digits || p == end || *p != ';')
                return fail("a malformed character reference", start);
            ++p;
            return isXmlChar(value) || fail("a reference to a character XML does not allow", start);
        }
        const Byte *name = p;
        while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')))
            ++p;
        if (p == name || p == end || *p != ';')
            return fail("a '&' that begins no reference", start);
        const std::string_view entity(reinterpret_cast<const char *>(name), size_t(p - name));
        ++p;
        if (entity == "lt" || entity == "gt" || entity == "amp" || entity == "quot" || entity == "apos")
            return true;
        return fail("a reference to an undefined entity", start);
    }

    bool name()
    {
        const Byte *start = p;
        if (!skipTo(kSpace | kNameEnd))
            return false;
        return p != start || fail("a missing name");
    }

    bool attribute()
    {
        const Byte *nameStart = p;
        if (!name())
            return false;
        const size_t nameLength = size_t(p - nameStart);
        for (const auto &[other, otherLength] : attributeNames) {
            if (otherLength == nameLength && std::memcmp(other, nameStart, nameLength) == 0)
                return fail("an attribute given twice", nameStart);
        }
        attributeNames.emplace_back(nameStart, nameLength);
        skipSpace();
        if (p == end || *p != '=')
            return fail("an attribute without a value");
        ++p;
        skipSpace();
        if (p == end || (*p != '"' && *p != '\''))
            return fail("an attribute value without quotes");
        const Byte quote = *p++;
        for (;;) {
            if (!skipText(quote))
                return false;
            if (p == end)
                return fail("an attribute value that does not end");
            if (*p == quote) {
                ++p;
                return true;
            }
            if (*p == '<')
                return fail("a '<' in an attribute value");
            if (!reference())
                return false;
        }
    }

    // A start tag from its '<'; tells whether it was an empty-element tag.
    bool startTag(bool &empty)
    {
        ++p;
        if (!name())
            return false;
        attributeNames.clear();
        for (;;) {
            skipSpace();
            if (p == end)
                return fail("a tag that does not end");
            if (*p == '>') {
                ++p;
                empty = false;
                return true;
            }
            if (*p == '/') {
                if (!startsWith("/>"))
                    return fail("a malformed tag");
                p += 2;
                empty = true;
                return true;
            }
            if (!attribute())
                return false;
        }
    }

    bool endTag()
    {
        p += 2;
        if (!name())
            return false;
        skipSpace();
        if (p == end || *p != '>')
            return fail("a malformed end tag");
        ++p;
        return true;
    }

    bool comment()
    {
        const Byte *start = p;
        p += 4;
        for (;;) {
            if (!skipTo(kDash))
                return false;
            if (p == end)
                return fail("a comment that does not end", start);
            if (startsWith("-->")) {
                p += 3;
                return true;
            }
            if (startsWith("--"))
                return fail("'--' inside a comment");
            ++p;
        }
    }

    bool processingInstruction()
    {
        const Byte *start = p;
        p += 2;
        const Byte *target = p;
        if (!skipTo(kSpace | kQuestion | kNameEnd))
            return false;
        if (p == target || p == end || !(kByteClasses[*p] & (kSpace | kQuestion)))
            return fail("a processing instruction without a proper target", start);
        // "xml" in any case is reserved: only the declaration at the very start may use it.
        if (p - target == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l'
            && (start != contentStart || std::memcmp(target, "xml", 3) != 0))
            return fail("a misplaced XML declaration", start);
        for (;;) {
            if (!skipTo(kQuestion))
                return false;
            if (p == end)
                return fail("a processing instruction that does not end", start);
            ++p;
            if (p < end && *p == '>') {
                ++p;
                return true;
            }
        }
    }

    bool cdataSection()
    {
        const Byte *start = p;
        p += 9;
        for (;;) {
            if (!skipTo(kRBracket))
                return false;
            if (p == end)
                return fail("a CDATA section that does not end", start);
            if (startsWith("]]>")) {
                p += 3;
                return true;
            }
            ++p;
        }
    }

    // Skips a document type declaration with its internal subset; literals, comments and
    // processing instructions in it may hold any of its delimiters.
    bool doctype()
    {
        const Byte *start = p;
        p += 9;
        bool inSubset = false;
        for (;;) {
            if (!skipTo(kQuot | kApos | kLt | kGt | kLBracket | kRBracket))
                return false;
            if (p == end)
                return fail("a document type declaration that does not end", start);
            if (*p == '"' || *p == '\'') {
                const std::uint16_t quote = *p == '"' ? kQuot : kApos;
                ++p;
                if (!skipTo(quote))
                    return false;
                if (p == end)
                    return fail("a literal that does not end", start);
                ++p;
            } else if (inSubset && startsWith("<!--")) {
                if (!comment())
                    return false;
            } else if (inSubset && startsWith("<?")) {
                if (!processingInstruction())
                    return false;
            } else if (*p == '>' && !inSubset) {
                ++p;
                return true;
            } else {
                if (*p == '[' || *p == ']')
                    inSubset = *p == '[';
                ++p;
            }
        }
    }

    // The document element from its '<' to the end of its end tag.
    bool element()
    {
        bool empty = false;
        if (!startTag(empty))
            return false;
        size_t depth = empty ? 0 : 1;
        while (depth > 0) {
            if (!skipText(']'))
                return false;
            if (p == end)
                return fail("the document element does not end");
            bool ok = true;
            if (*p == '&') {
                ok = reference();
            } else if (*p == ']') {
                if (startsWith("]]>"))
                    return fail("']]>' in text");
                ++p;
            } else if (startsWith("</")) {
                ok = endTag();
                --depth;
            } else if (startsWith("<?")) {
                ok = processingInstruction();
            } else if (startsWith("<!--")) {
                ok = comment();
            } else if (startsWith("<![CDATA[")) {
                ok = cdataSection();
            } else if (startsWith("<!")) {
                return fail("a declaration inside the document element");
            } else {
                ok = startTag(empty);
                if (!empty)
                    ++depth;
            }
            if (!ok)
                return false;
        }
        return true;
    }

    // Before and after the document element only white space, comments, processing
    // instructions and (before it) one document type declaration may stand.
    bool document()
    {
        if (startsWith("\xEF\xBB\xBF"))
            p += 3;
        contentStart = p;
        bool rootSeen = false;
        bool doctypeSeen = false;
        for (;;) {
            skipSpace();
            if (p == end)
                return rootSeen || fail("no document element");
            bool ok = true;
            if (*p != '<') {
                return fail(rootSeen ? "text after the document element" : "text before the document element");
            } else if (startsWith("<?")) {
                ok = processingInstruction();
            } else if (startsWith("<!--")) {
                ok = comment();
            } else if (startsWith("<!DOCTYPE") && !rootSeen && !doctypeSeen) {
                doctypeSeen = true;
                ok = doctype();
            } else if (startsWith("<!") || startsWith("</")) {
                return fail("markup that is not allowed outside the document element");
            } else if (rootSeen) {
                return fail("a second document element");
            } else {
                rootSeen = true;
                ok = element();
            }
            if (!ok)
                return false;
        }
    }

    const Byte *const begin;
    const Byte *const end;
    const Byte *p;
    const Byte *contentStart; // where an XML declaration has to stand
    const char *problem = nullptr;
    const Byte *problemAt = nullptr;
    std::vector<std::pair<const Byte *, size_t>> attributeNames; // of the current start tag
};

// The encoding of an XML text as its first bytes tell: a byte-order mark, '<' (or '<?')
// written in two or four bytes, or Latin-1 named by the declaration of an 8-bit text.
// Anything else is UTF-8. These are the encodings pugixml recognised by itself.
QStringConverter::Encoding detectEncoding(QByteArrayView bytes)
{
    const auto startsWith = [bytes](std::initializer_list<int> prefix) {
        if (size_t(bytes.size()) < prefix.size())
            return false;
        qsizetype i = 0;
        for (int byte : prefix)
            if (static_cast<unsigned char>(bytes[i++]) != byte)
                return false;
        return true;
    };
    if (startsWith({0x00, 0x00, 0xFE, 0xFF}) || startsWith({0x00, 0x00, 0x00, 0x3C}))
        return QStringConverter::Utf32BE;
    if (startsWith({0xFF, 0xFE, 0x00, 0x00}) || startsWith({0x3C, 0x00, 0x00, 0x00}))
        return QStringConverter::Utf32LE;
    if (startsWith({0xFE, 0xFF}) || startsWith({0x00, 0x3C}))
        return QStringConverter::Utf16BE;
    if (startsWith({0xFF, 0xFE}) || startsWith({0x3C, 0x00}))
        return QStringConverter::Utf16LE;
    if (bytes.startsWith("<?xml")) {
        const QByteArrayView declaration = bytes.first(std::max<qsizetype>(bytes.indexOf("?>"), 0));
        const qsizetype key = declaration.indexOf("encoding");
        if (key >= 0) {
            QByteArrayView rest = declaration.sliced(key + 8).trimmed();
            if (rest.startsWith('=')) {
                rest = rest.sliced(1).trimmed();
                const qsizetype close = rest.isEmpty() ? -1 : rest.indexOf(rest[0], 1);
                if (close > 0) {
                    const QByteArray name = rest.sliced(1, close - 1).toByteArray().toLower();
                    if (name == "iso-8859-1" || name == "latin1")
                        return QStringConverter::Latin1;
                }
            }
        }
    }
    return QStringConverter::Utf8;
}

struct FreeDeleter
{
    void operator()(char *bytes) const { std::free(bytes); }
};
using MallocBuffer = std::unique_ptr<char, FreeDeleter>;

MallocBuffer mallocCopy(QByteArrayView bytes)
{
    MallocBuffer copy(static_cast<char *>(std::malloc(std::max<size_t>(size_t(bytes.size()), 1))));
    if (!copy)
        throw JotterlyError(QStringLiteral("out of memory"));
    if (!bytes.isEmpty())
        std::memcpy(copy.get(), bytes.data(), size_t(bytes.size()));
    return copy;
}

// Parses the bytes as a new document, which takes over the buffer and parses it in place.
// A text in another encoding is made UTF-8 first; offsets then count in that UTF-8 text.
// Returns what is wrong when the text is not well-formed XML; `document` is set only on
// success.
std::optional<XmlProblem> parseWellFormed(MallocBuffer bytes, size_t size,
                                          std::unique_ptr<pugi::xml_document> &document)
{
    const QStringConverter::Encoding encoding = detectEncoding(QByteArrayView(bytes.get(), qsizetype(size)));
    if (encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(bytes.get(), qsizetype(size)));
        // The decoder passes lone UTF-16 surrogates through without counting them as errors.
        if (decoder.hasError() || !text.isValidUtf16())
            return XmlProblem{"bytes that are not in the encoding the document starts with", 0};
        const QByteArray utf8 = text.toUtf8();
        bytes = mallocCopy(utf8);
        size = size_t(utf8.size());
    }
    if (const auto problem = XmlConformanceScan::find(bytes.get(), size))
        return problem;
    auto parsed = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        parsed->load_buffer_inplace_own(bytes.release(), size, Txmltry::kParseOptions, pugi::encoding_utf8);
    if (!result)
        return XmlProblem{result.description(), qlonglong(result.offset)};
    document = std::move(parsed);
    return std::nullopt;
}

} // namespace

Txmltry::Txmltry() : document(std::make_unique<pugi::xml_document>()) {}

Txmltry::~Txmltry() = default;

void Txmltry::ReplaceDocument(std::unique_ptr<pugi::xml_document> parsed)
{
    indexCache = IndexCache();
    document = std::move(parsed);
}

void Txmltry::LoadFromText(const QByteArray &text)
{
    std::unique_ptr<pugi::xml_document> parsed;
    if (const auto problem = parseWellFormed(mallocCopy(text), size_t(text.size()), parsed)) {
        throw JotterlyError(QStringLiteral("Malformed XML text: %1 at offset %2")
                                .arg(QString::fromLatin1(problem->what))
                                .arg(problem->offset));
    }
    ReplaceDocument(std::move(parsed));
}

int Txmltry::CountCommas(const QString &text)
{
    return static_cast<int>(text.count(u','));
}

pugi::xml_node Txmltry::ChildAt(pugi::xml_node parent, long long index)
{
    if (index < 0)
        return {};
    pugi::xml_node node;
    long long position = 0;
    const bool cached = indexCache.parent == parent && indexCache.child;
    if (cached && index >= indexCache.index) {
        node = indexCache.child;
        position = indexCache.index;
    } else if (cached && indexCache.index - index < index) {
        node = indexCache.child;
        for (position = indexCache.index; position > index; --position)
            node = node.previous_sibling();
    } else {
        node = parent.first_child();
    }
    for (; node && position < index; ++position)
        node = node.next_sibling();
    if (node)
        indexCache = IndexCache{parent, node, index};
    return node;
}

pugi::xml_node Txmltry::FindNode(const QString &path)
{
    pugi::xml_node current = document->document_element();
    const QStringView all(path);
    qsizetype start = all.indexOf(u',');
    if (start < 0)
        return current; // the first component stands for the root, whatever its name
    ++start;
    for (;;) {
        const qsizetype comma = all.indexOf(u',', start);
        const QStringView component = all.mid(start, comma < 0 ? -1 : comma - start);
        const qsizetype hash = component.indexOf(u'#');
        if (hash >= 0) {
            long long index = 0;
            if (!parseIndex(component.mid(hash + 1), index)) {
                throw JotterlyError(QStringLiteral("'%1' is not a valid integer value")
                                        .arg(component.mid(hash + 1)));
            }
            if (const pugi::xml_node child = ChildAt(current, index))
                current = child;
        } else {
            const QByteArray wanted = component.toUtf8();
            for (pugi::xml_node child = current.first_child(); child; child = child.next_sibling()) {
                if (std::strcmp(domNodeName(child), wanted.constData()) == 0) {
                    current = child;
                    break;
                }
            }
        }
        if (comma < 0)
            return current;
        start = comma + 1;
    }
}

int Txmltry::ChildCount(const QString &path)
{
    int count = 0;
    const pugi::xml_node node = FindNode(path);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        ++count;
    return count;
}

QByteArray Txmltry::GetAttr(const QString &path, const QString &name)
{
    const pugi::xml_attribute attribute = FindNode(path).attribute(name.toUtf8().constData());
    if (!attribute) {
        ErrorBox(path + QStringLiteral(": ") + name + QStringLiteral(" not Exist !"));
        return QByteArray();
    }
    return QByteArray(attribute.value());
}

bool Txmltry::SetAttr(const QString &path, const QString &name, const QByteArray &value)
{
    pugi::xml_attribute attribute = FindNode(path).attribute(name.toUtf8().constData());
    if (!attribute) {
        ErrorBox(path + QStringLiteral(": ") + name + QStringLiteral(" not Exist !"));
        return false;
    }
    return attribute.set_value(value.constData(), static_cast<size_t>(value.size()));
}

void Txmltry::SaveToFile(const QString &fileName)
{
    const auto failure = [&fileName](const QString &what) {
        return JotterlyError(QStringLiteral("Cannot write %1: %2").arg(nativeName(fileName), what));
    };
    // QSaveFile writes a temporary file beside the target and renames it over the target
    // only on commit, so an older file survives any failure on the way.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw failure(file.errorString());
    // Memos are private: owner-only, even when an older file was more open. Filesystems
    // without permissions refuse this, which does not stop the backup.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    char header[kHeaderSize] = {};
    if (file.write(header, kHeaderSize) != kHeaderSize)
        throw failure(file.errorString());
    DeflatingWriter writer(file);
    ControlReferenceFilter filter(writer);
    document->save(filter, "", pugi::format_raw, pugi::encoding_utf8);
    filter.finish();
    writer.finish();
    if (!writer.errorText().isEmpty())
        throw failure(writer.errorText());

    storeLittleEndian64(writer.xmlLength(), header);
    if (!file.seek(0) || file.write(header, kHeaderSize) != kHeaderSize)
        throw failure(file.errorString());
    if (!file.commit())
        throw failure(file.errorString());
}

void Txmltry::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw JotterlyError(QStringLiteral("Cannot open %1: %2").arg(nativeName(fileName), file.errorString()));
    char header[kHeaderSize];
    if (file.read(header, kHeaderSize) != kHeaderSize)
        throw JotterlyError(QStringLiteral("Cannot read %1: the file is too short").arg(nativeName(fileName)));
    const qint64 length = loadLittleEndian64(header);
    if (length < 0 || length > kMaxXmlLength) {
        throw JotterlyError(QStringLiteral("Cannot read %1: the length field %2 is out of range")
                                .arg(nativeName(fileName))
                                .arg(length));
    }

    ContainerInflater inflater(file, fileName);
    inflater.inflateExactly(length, std::max<qint64>(0, file.size() - kHeaderSize));

    // The document takes over the inflated buffer and parses it in place, without a copy.
    std::unique_ptr<pugi::xml_document> parsed;
    if (const auto problem = parseWellFormed(MallocBuffer(inflater.release()), static_cast<size_t>(length), parsed)) {
        throw JotterlyError(QStringLiteral("Cannot read %1: malformed XML (%2 at offset %3)")
                                .arg(nativeName(fileName), QString::fromLatin1(problem->what))
                                .arg(problem->offset));
    }
    ReplaceDocument(std::move(parsed));
}
