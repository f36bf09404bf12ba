#include "MemoDataGenerator.h"

#include "JotterlyError.h"
#include "SqlConnection.h"

#include <QByteArray>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Everyday note-taking vocabulary; the frequent short words come more than once so
// that texts read roughly like prose.
// clang-format off
const char *const kWords[] = {
    "the", "the", "the", "a", "a", "to", "to", "and", "and", "of", "of", "in", "for", "on", "with",
    "at", "by", "from", "is", "it", "be", "this", "that", "not", "or", "but", "as", "if", "my", "our",
    "we", "you", "they", "he", "she", "me", "us", "all", "new", "next", "last", "some", "more",
    "call", "email", "meeting", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday",
    "sunday", "tomorrow", "today", "tonight", "morning", "afternoon", "evening", "week", "month",
    "year", "buy", "milk", "bread", "eggs", "coffee", "butter", "cheese", "apples", "tomatoes",
    "groceries", "pharmacy", "doctor", "dentist", "appointment", "invoice", "receipt", "payment",
    "bank", "transfer", "account", "password", "username", "login", "server", "backup", "update",
    "install", "release", "version", "bug", "fix", "review", "report", "draft", "budget", "project",
    "deadline", "schedule", "agenda", "minutes", "notes", "idea", "ideas", "plan", "plans", "trip",
    "flight", "hotel", "booking", "ticket", "train", "station", "airport", "passport", "visa",
    "birthday", "gift", "party", "dinner", "lunch", "breakfast", "recipe", "garden", "car", "garage",
    "insurance", "tax", "return", "office", "team", "client", "customer", "supplier", "order",
    "delivery", "package", "address", "phone", "number", "contact", "remember", "check", "send",
    "write", "read", "finish", "start", "ask", "tell", "bring", "pick", "up", "pay", "renew",
    "cancel", "confirm", "prepare", "discuss", "about", "before", "after", "until", "during",
    "between", "quickly", "later", "again", "please", "important", "urgent", "maybe", "probably",
    "book", "books", "library", "school", "teacher", "homework", "class", "course", "exam", "music",
    "concert", "movie", "series", "episode", "weekend", "holiday", "vacation", "beach", "mountain",
    "weather", "rain", "umbrella", "jacket", "shoes", "shirt", "laundry", "kitchen", "bathroom",
    "window", "door", "key", "keys", "light", "repair", "plumber", "electrician", "landlord", "rent",
    "contract", "lease", "letter", "form", "document", "printer", "paper", "ink", "battery",
    "charger", "laptop", "monitor", "keyboard", "mouse", "software", "license", "subscription",
    "renewal", "price", "cost", "discount", "offer", "sale", "store", "market", "shop", "online",
    "website", "link", "article", "blog", "post", "photo", "photos", "camera", "album", "family",
    "friends", "mother", "father", "sister", "brother", "kids", "dog", "cat", "vet", "walk", "run",
    "gym", "yoga", "swim", "bike", "healthy", "sleep", "water", "plants", "flowers", "seeds", "soil",
    "two", "three", "five", "ten", "first", "second", "third",
};
// clang-format on

// UTF-8 words from other languages and scripts, as users paste them into notes.
const char *const kNonAsciiWords[] = {
    "caf\xC3\xA9",
    "na\xC3\xAFve",
    "Gr\xC3\xBC\xC3\x9F"
    "e",
    "Stra\xC3\x9F"
    "e",
    "fa\xC3\xA7"
    "ade",
    "jalape\xC3\xB1o",
    "sm\xC3\xB6rg\xC3\xA5sbord",
    "d\xC3\xA9j\xC3\xA0",
    "Z\xC3\xBCrich",
    "S\xC3\xA3o",
    "Krak\xC3\xB3w",
    "cr\xC3\xA8me",
    "br\xC3\xBBl\xC3\xA9"
    "e",
    "M\xC3\xBCnchen",
    "\xE2\x82\xAC"
    "20",
    "\xC2\xBD",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
    "\xE6\x9D\xB1\xE4\xBA\xAC",
    "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
    "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
    "\xCE\xB1\xCE\xB2\xCE\xB3",
    "\xC3\x85ngstr\xC3\xB6m",
    "se\xC3\xB1or",
    "\xE2\x9C\x93",
};

// Deterministic draws on a generator whose sequence the standard fixes, so the same seed
// gives the same file with every standard library.
class Draw
{
public:
    explicit Draw(quint64 seed)
        : engine(seed)
    {
    }
    // A whole number from lo to hi, both included.
    int between(int lo, int hi) { return lo + static_cast<int>(engine() % static_cast<quint64>(hi - lo + 1)); }
    // A number in [0, 1).
    double unit() { return static_cast<double>(engine() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double share) { return unit() < share; }
    double gaussian()
    {
        const double u1 = std::max(unit(), 1e-12);
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * unit());
    }
    quint64 bits() { return engine(); }

private:
    std::mt19937_64 engine;
};

template<size_t Count>
QByteArray pickWord(Draw &draw, const char *const (&words)[Count])
{
    return QByteArray(words[draw.between(0, static_cast<int>(Count) - 1)]);
}

// A memo id as the program makes them: a version 4 GUID in braces and upper case.
QByteArray makeMid(Draw &draw)
{
    QByteArray bytes(16, Qt::Uninitialized);
    for (int i = 0; i < 16; i += 8) {
        const quint64 b = draw.bits();
        for (int k = 0; k < 8; ++k)
            bytes[i + k] = static_cast<char>((b >> (8 * k)) & 0xFF);
    }
    bytes[6] = static_cast<char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<char>((bytes[8] & 0x3F) | 0x80);
    return QUuid::fromRfc4122(bytes).toString(QUuid::WithBraces).toUpper().toLatin1();
}

struct MemoText
{
    QByteArray bytes;
    bool nonAscii = false;
};

// Sentences of words, between min and max bytes long; a multi-line text gets one to
// three CR LF breaks in place of blanks.
MemoText makeText(Draw &draw, const MemoDataPlan &plan, bool multiline)
{
    const int breaks = multiline ? draw.between(1, 3) : 0;
    const int target = draw.between(plan.minTextBytes, plan.maxTextBytes - breaks);
    MemoText text;
    std::vector<int> blanks; // positions of the blanks between words
    bool sentenceStart = true;
    int wordsInSentence = 0;
    int sentenceLength = draw.between(5, 14);
    for (int attempts = 0; attempts < 64; ++attempts) {
        const bool foreign = draw.chance(plan.nonAsciiWordShare);
        QByteArray word = foreign ? pickWord(draw, kNonAsciiWords) : pickWord(draw, kWords);
        if (sentenceStart && word.at(0) >= 'a' && word.at(0) <= 'z')
            word[0] = static_cast<char>(word.at(0) - 'a' + 'A');
        const bool endsSentence = ++wordsInSentence >= sentenceLength;
        if (endsSentence)
            word += '.';
        const int needed = static_cast<int>(word.size()) + (text.bytes.isEmpty() ? 0 : 1);
        if (text.bytes.size() + needed > target) {
            if (text.bytes.size() >= plan.minTextBytes)
                break;
            --wordsInSentence;
            continue; // too long for what is left: try another, shorter word
        }
        if (!text.bytes.isEmpty()) {
            blanks.push_back(static_cast<int>(text.bytes.size()));
            text.bytes += ' ';
        }
        text.bytes += word;
        text.nonAscii = text.nonAscii || foreign;
        sentenceStart = endsSentence;
        if (endsSentence) {
            wordsInSentence = 0;
            sentenceLength = draw.between(5, 14);
        }
    }
    // Line breaks replace blanks, latest first so earlier positions stay valid.
    std::vector<int> chosen;
    for (int i = 0; i < breaks && !blanks.empty(); ++i) {
        const int pick = draw.between(0, static_cast<int>(blanks.size()) - 1);
        chosen.push_back(blanks[static_cast<size_t>(pick)]);
        blanks.erase(blanks.begin() + pick);
    }
    std::sort(chosen.rbegin(), chosen.rend());
    for (int position : chosen)
        text.bytes.replace(position, 1, "\r\n");
    return text;
}

// How many sub-memos each top-level memo gets: a fifth get none, the others a share
// drawn from a log-normal spread, so a few memos hold hundreds and most a handful.
std::vector<int> parentsOfSubMemos(Draw &draw, int topLevel, int subMemos)
{
    std::vector<double> cumulative(static_cast<size_t>(topLevel));
    double total = 0;
    for (int i = 0; i < topLevel; ++i) {
        const double weight = draw.chance(0.2) ? 0.0 : std::exp(draw.gaussian());
        total += weight;
        cumulative[static_cast<size_t>(i)] = total;
    }
    std::vector<int> parents(static_cast<size_t>(subMemos));
    for (int &parent : parents) {
        if (total <= 0) {
            parent = 0;
            continue;
        }
        const double at = draw.unit() * total;
        parent = static_cast<int>(std::upper_bound(cumulative.begin(), cumulative.end(), at) - cumulative.begin());
        parent = std::min(parent, topLevel - 1);
    }
    return parents;
}

class InsertStatement
{
public:
    explicit InsertStatement(sqlite3 *db)
        : db(db)
    {
        const char *sql = "insert into memos (mid,pid,content,expandFlag,assignTime,createTime,editTime)"
                          " values (?,?,?,?,?,?,?)";
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            fail();
    }
    ~InsertStatement() { sqlite3_finalize(stmt); }
    InsertStatement(const InsertStatement &) = delete;
    InsertStatement &operator=(const InsertStatement &) = delete;

    void insert(const QByteArray &mid, const QByteArray &pid, const QByteArray &content, bool expanded,
                double assignTime, double createTime, double editTime)
    {
        sqlite3_reset(stmt);
        bindText(1, mid);
        bindText(2, pid);
        bindText(3, content);
        if (sqlite3_bind_int(stmt, 4, expanded ? 1 : 0) != SQLITE_OK
            || sqlite3_bind_double(stmt, 5, assignTime) != SQLITE_OK
            || sqlite3_bind_double(stmt, 6, createTime) != SQLITE_OK
            || sqlite3_bind_double(stmt, 7, editTime) != SQLITE_OK || sqlite3_step(stmt) != SQLITE_DONE)
            fail();
    }

private:
    void bindText(int position, const QByteArray &text)
    {
        // The bytes stay alive until the row is stepped, so no copy is needed.
        if (sqlite3_bind_text(stmt, position, text.constData(), static_cast<int>(text.size()), SQLITE_STATIC)
            != SQLITE_OK)
            fail();
    }
    [[noreturn]] void fail() { throw JotterlyError(QString::fromUtf8(sqlite3_errmsg(db))); }

    sqlite3 *db;
    sqlite3_stmt *stmt = nullptr;
};

// Day counts a few years before the reference day 46000, with a time of day.
struct MemoTimes
{
    double create, edit, assign;
};

MemoTimes makeTimes(Draw &draw)
{
    MemoTimes times;
    times.create = 46000.0 - draw.between(1, 1500) + draw.between(0, 86399) / 86400.0;
    times.edit = draw.chance(0.5) ? times.create : std::min(46000.0, times.create + draw.unit() * 200);
    times.assign = times.create;
    return times;
}

} // namespace

MemoDataSummary GenerateMemoData(const QString &path, const MemoDataPlan &plan)
{
    MemoDataSummary summary;
    const int count = std::max(0, plan.memoCount);
    summary.topLevel = count == 0 ? 0 : std::max(1, static_cast<int>(std::lround(count * plan.topLevelShare)));
    summary.subMemos = count - summary.topLevel;

    Draw draw(plan.seed);
    std::vector<QByteArray> topMids;
    topMids.reserve(static_cast<size_t>(summary.topLevel));
    for (int i = 0; i < summary.topLevel; ++i)
        topMids.push_back(makeMid(draw));
    const std::vector<int> parents = parentsOfSubMemos(draw, summary.topLevel, summary.subMemos);
    std::vector<int> subCounts(static_cast<size_t>(summary.topLevel));
    for (int parent : parents)
        ++subCounts[static_cast<size_t>(parent)];
    for (int n : subCounts) {
        summary.mostSubMemos = std::max(summary.mostSubMemos, n);
        summary.withoutSubMemos += n == 0 ? 1 : 0;
    }

    // Rows go in mixed order, as memos and sub-memos are written over time. Entries
    // below topLevel are top-level memos, the others sub-memos.
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    for (int i = count - 1; i > 0; --i)
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(draw.between(0, i))]);

    SqlConnection connection;
    connection.open(path);
    connection.beginTransaction();
    {
        InsertStatement statement(connection.handle());
        const QByteArray root("root");
        for (int entry : order) {
            const bool isTopLevel = entry < summary.topLevel;
            const bool multiline = draw.chance(plan.multilineShare);
            const MemoText text = makeText(draw, plan, multiline);
            const MemoTimes times = makeTimes(draw);
            bool expanded = false;
            if (isTopLevel) {
                expanded = draw.chance(plan.expandedShare);
                summary.expanded += expanded ? 1 : 0;
            }
            const QByteArray mid = isTopLevel ? topMids[static_cast<size_t>(entry)] : makeMid(draw);
            const QByteArray &pid =
                isTopLevel ? root
                           : topMids[static_cast<size_t>(parents[static_cast<size_t>(entry - summary.topLevel)])];
            statement.insert(mid, pid, text.bytes, expanded, times.assign, times.create, times.edit);
            summary.multiline += multiline ? 1 : 0;
            summary.withNonAscii += text.nonAscii ? 1 : 0;
            summary.textBytes += text.bytes.size();
        }
    }
    connection.commitTransaction();
    connection.close();
    return summary;
}
