#include "XmlConformanceScan.h"

#include <QtAlgorithms>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

namespace {

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
        : begin(reinterpret_cast<const Byte *>(data))
        , end(begin + size)
        , p(begin)
        , contentStart(begin)
    {
    }

    bool fail(const char *what, const Byte *at)
    {
        problem = what;
        problemAt = at;
        return false;
    }
    bool fail(const char *what) { return fail(what, p); }

    template<size_t N>
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
            // References to control characters are what the writer makes of such
            // characters in memo text (a pasted form feed): they read back as written.
            const bool writtenControl = value >= 0x1 && value < 0x20;
            return isXmlChar(value) || writtenControl || fail("a reference to a character XML does not allow", start);
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

} // namespace

std::optional<XmlProblem> FindXmlConformanceProblem(const char *data, size_t size)
{
    return XmlConformanceScan::find(data, size);
}
