// Txmltry: paths into a pugixml document, its compressed container, and the check that
// refuses what pugixml would accept although it is not well-formed XML.
#include "pU_XmlTry.h"

#include "Boxes.h"
#include "JotterlyError.h"
#include "XmlConformanceScan.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
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
    case pugi::node_comment:
        return "#comment";
    case pugi::node_pcdata:
        return "#text";
    case pugi::node_cdata:
        return "#cdata-section";
    default:
        return node.name();
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
    explicit DeflatingWriter(QIODevice &target)
        : out(target)
        , outBuffer(kIoChunk)
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

// Inflates the container's zlib stream from a device into a growing buffer that is handed
// to the parser afterwards. Memory grows with the data actually inflated, never with the
// length field alone, so a forged length cannot make the program allocate gigabytes.
class ContainerInflater
{
public:
    ContainerInflater(QIODevice &source, const QString &fileName)
        : in(source)
        , name(fileName)
        , inBuffer(kIoChunk)
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
            throw JotterlyError(message(
                QStringLiteral("the data ends after %1 of %2 bytes").arg(qulonglong(filled)).arg(qulonglong(target))));
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
    if (const auto problem = FindXmlConformanceProblem(bytes.get(), size))
        return problem;
    auto parsed = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = parsed->load_buffer_inplace_own(bytes.release(), size, Txmltry::kParseOptions,
                                                                          pugi::encoding_utf8);
    if (!result)
        return XmlProblem{result.description(), qlonglong(result.offset)};
    document = std::move(parsed);
    return std::nullopt;
}

} // namespace

Txmltry::Txmltry()
    : document(std::make_unique<pugi::xml_document>())
{
}

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
                throw JotterlyError(QStringLiteral("'%1' is not a valid integer value").arg(component.mid(hash + 1)));
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
    document->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
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
