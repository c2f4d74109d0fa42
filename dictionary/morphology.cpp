#include "dictionary/morphology.h"

#include "dictionary/cp1251.h"
#include "dictionary/dawg.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr int VerbClass = 1;
constexpr int AdjectiveClass = 2;

int partOfSpeechClass(std::string_view pos)
{
    static const char *const Verbs[] = {"INFN", "VERB", "PRTF", "PRTS", "GRND"};
    static const char *const Adjectives[] = {"ADJF", "ADJS", "COMP"};
    for (const char *v : Verbs)
        if (pos == v)
            return VerbClass;
    for (const char *a : Adjectives)
        if (pos == a)
            return AdjectiveClass;
    // Every other tag is a class of its own: seven bits a letter after a leading 1 make a unique
    // number above the two classes for tags of up to four letters (all of them are). Unsigned,
    // because the multiplication by 131 this replaces overflowed an int on four letters.
    std::uint32_t code = 1;
    for (const char c : pos)
        code = ((code << 7) | (std::uint8_t(c) & 0x7fu)) & 0x3fffffffu;
    return int(code);
}

QString fileName(const QString &dir, const char *name)
{
    return QDir::toNativeSeparators(QDir(dir).filePath(QString::fromLatin1(name)));
}

bool readFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool readJsonArray(const QString &path, QJsonArray *array, QString *error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1: not valid JSON at byte %2: %3")
                     .arg(path)
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return false;
    }
    if (!document.isArray()) {
        *error = QStringLiteral("%1: a JSON array was expected").arg(path);
        return false;
    }
    *array = document.array();
    return true;
}

bool jsonStrings(const QString &path, const QJsonArray &array, std::vector<std::string> *out,
                 bool cp1251, QString *error)
{
    out->clear();
    out->reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array[i].isString()) {
            *error = QStringLiteral("%1: entry %2 is not a string").arg(path).arg(i);
            return false;
        }
        const QByteArray utf8 = array[i].toString().toUtf8();
        std::string text(utf8.constData(), std::size_t(utf8.size()));
        std::string converted;
        if (cp1251 && !utf8ToCp1251(text, &converted)) {
            *error = QStringLiteral("%1: entry %2 has letters outside Windows-1251")
                         .arg(path)
                         .arg(i);
            return false;
        }
        out->push_back(cp1251 ? std::move(converted) : std::move(text));
    }
    return true;
}

} // namespace

MorphTag MorphTag::fromText(std::string_view text)
{
    MorphTag tag;
    tag.props.assign(text);
    std::replace(tag.props.begin(), tag.props.end(), ' ', ',');
    std::string_view rest = tag.props;
    bool first = true;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view field = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (first) {
            tag.pos.assign(field);
            first = false;
        } else if (field == "Supr") {
            tag.superlative = true;
        } else if (field == "Patr") {
            tag.patronymic = true;
        } else if (field == "Anum") {
            tag.ordinal = true;
        } else if (field == "masc" || field == "femn" || field == "neut" || field == "ms-f") {
            tag.gender.assign(field);
        }
        if (field == "Name" || field == "Surn" || field == "Patr")
            tag.personalName = true;
    }
    tag.posClass = partOfSpeechClass(tag.pos);
    tag.fullParticiple = tag.pos == "PRTF";
    return tag;
}

std::vector<std::vector<std::uint16_t>> splitParadigm(const std::vector<const MorphTag *> &tags)
{
    struct Kind
    {
        int posClass;
        bool superlative;
        bool ordinal;
        std::string patronymicGender;  // "-" when not a patronymic
        bool operator==(const Kind &) const = default;
    };
    const auto kindOf = [](const MorphTag &t) {
        return Kind{t.posClass, t.superlative, t.ordinal,
                    t.patronymic ? t.gender : std::string("-")};
    };
    std::vector<std::vector<std::uint16_t>> lexemes;
    if (tags.empty())
        return lexemes;
    lexemes.push_back({0});
    const Kind head = kindOf(*tags[0]);
    std::vector<std::pair<Kind, std::size_t>> open;  // the lexeme each kind now fills
    for (std::size_t f = 1; f < tags.size(); ++f) {
        const Kind kind = kindOf(*tags[f]);
        if (kind == head) {
            lexemes[0].push_back(std::uint16_t(f));
            continue;
        }
        auto current = std::find_if(open.begin(), open.end(),
                                    [&](const auto &o) { return o.first == kind; });
        if (current != open.end() && tags[lexemes[current->second].front()] != tags[f]) {
            lexemes[current->second].push_back(std::uint16_t(f));
            continue;
        }
        lexemes.push_back({std::uint16_t(f)});
        if (current == open.end())
            open.emplace_back(kind, lexemes.size() - 1);
        else
            current->second = lexemes.size() - 1;
    }
    return lexemes;
}

bool decodeWordKey(std::string_view key, WordKey *decoded)
{
    if (key.size() < 5 || key[key.size() - 5] != '\x01')
        return false;
    std::uint8_t payload[4];
    std::memcpy(payload, key.data() + key.size() - 4, 4);
    for (const std::uint8_t b : payload)
        if ((b & 1) == 0)
            return false;
    decoded->word = key.substr(0, key.size() - 5);
    if (decoded->word.find('\x01') != std::string_view::npos)
        return false;
    decoded->paradigm = std::uint32_t(payload[0] >> 1) << 7 | std::uint32_t(payload[1] >> 1);
    decoded->formIndex = std::uint32_t(payload[2] >> 1) << 7 | std::uint32_t(payload[3] >> 1);
    return true;
}

std::string encodeWordKey(std::string_view word, std::uint32_t paradigm, std::uint32_t formIndex)
{
    std::string key(word);
    key.push_back('\x01');
    for (const std::uint32_t v : {paradigm, formIndex}) {
        key.push_back(char(((v >> 7) << 1) | 1));
        key.push_back(char(((v & 0x7F) << 1) | 1));
    }
    return key;
}

void Morphology::formWord(const StemEntry &entry, int formIndex, std::string *word) const
{
    const Paradigm &p = paradigms[entry.paradigm];
    word->assign(prefixes[p.prefix[formIndex]]);
    word->append(entry.stem);
    word->append(suffixes[p.suffix[formIndex]]);
}

bool Morphology::load(const QString &dir, QString *error)
{
    if (!QFileInfo(dir).isDir()) {
        *error = QStringLiteral("%1: no such folder").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    return loadMeta(dir, error) && loadSuffixes(dir, error) && loadTags(dir, error)
           && loadParadigms(dir, error) && loadWords(dir, error)
           && loadProbabilities(dir, error);
}

bool Morphology::loadMeta(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "meta.json");
    QJsonArray meta;
    if (!readJsonArray(path, &meta, error))
        return false;
    QJsonObject values;
    for (const QJsonValue &entry : meta) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() == 2 && pair[0].isString())
            values.insert(pair[0].toString(), pair[1]);
    }
    const auto count = [&](const char *key) {
        const QJsonValue v = values.value(QLatin1StringView(key));
        return v.isDouble() ? std::int64_t(v.toDouble()) : std::int64_t(-1);
    };
    m_expectedKeys = count("words_dawg_length");
    m_expectedParadigms = count("paradigms_length");
    m_expectedSuffixes = count("suffixes_length");
    m_expectedTags = count("gramtab_length");
    sourceVersion = values.value(QStringLiteral("source")).toString() + u' '
                    + values.value(QStringLiteral("source_version")).toString() + QStringLiteral(" r")
                    + values.value(QStringLiteral("source_revision")).toString();
    compiledAt = values.value(QStringLiteral("compiled_at")).toString();
    const QJsonValue prefixList =
        values.value(QStringLiteral("compile_options")).toObject().value(QStringLiteral("paradigm_prefixes"));
    if (!prefixList.isArray()) {
        *error = QStringLiteral("%1: compile_options has no paradigm_prefixes").arg(path);
        return false;
    }
    return jsonStrings(path, prefixList.toArray(), &prefixes, true, error);
}

bool Morphology::loadSuffixes(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "suffixes.json");
    QJsonArray array;
    if (!readJsonArray(path, &array, error) || !jsonStrings(path, array, &suffixes, true, error))
        return false;
    if (m_expectedSuffixes >= 0 && std::int64_t(suffixes.size()) != m_expectedSuffixes) {
        *error = QStringLiteral("%1: %2 suffixes, meta.json announces %3")
                     .arg(path)
                     .arg(suffixes.size())
                     .arg(m_expectedSuffixes);
        return false;
    }
    return true;
}

bool Morphology::loadTags(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "gramtab-opencorpora-int.json");
    QJsonArray array;
    std::vector<std::string> texts;
    if (!readJsonArray(path, &array, error) || !jsonStrings(path, array, &texts, false, error))
        return false;
    if (m_expectedTags >= 0 && std::int64_t(texts.size()) != m_expectedTags) {
        *error = QStringLiteral("%1: %2 tags, meta.json announces %3")
                     .arg(path)
                     .arg(texts.size())
                     .arg(m_expectedTags);
        return false;
    }
    tags.clear();
    tags.reserve(texts.size());
    for (const std::string &text : texts)
        tags.push_back(MorphTag::fromText(text));
    return true;
}

bool Morphology::loadParadigms(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "paradigms.array");
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    const auto fail = [&](const QString &problem) {
        *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    };
    if (bytes.size() % 2 != 0)
        return fail(QStringLiteral("the file has an odd number of bytes"));
    const std::size_t total = std::size_t(bytes.size()) / 2;
    std::size_t at = 0;
    const auto next = [&] {
        std::uint16_t v;
        std::memcpy(&v, bytes.constData() + 2 * at++, 2);
        return qFromLittleEndian(v);
    };
    if (total == 0)
        return fail(QStringLiteral("the file is empty"));
    const std::size_t count = next();
    if (m_expectedParadigms >= 0 && std::int64_t(count) != m_expectedParadigms)
        return fail(QStringLiteral("%1 paradigms, meta.json announces %2")
                        .arg(count)
                        .arg(m_expectedParadigms));
    paradigms.assign(count, Paradigm());
    std::vector<const MorphTag *> formTags;
    for (std::size_t i = 0; i < count; ++i) {
        if (at >= total)
            return fail(QStringLiteral("the file is truncated in paradigm %1").arg(i));
        const std::size_t length = next();
        if (length == 0 || length % 3 != 0)
            return fail(QStringLiteral("paradigm %1 has length %2, not a multiple of three")
                            .arg(i)
                            .arg(length));
        if (at + length > total)
            return fail(QStringLiteral("the file is truncated in paradigm %1").arg(i));
        Paradigm &p = paradigms[i];
        const std::size_t forms = length / 3;
        for (std::size_t f = 0; f < forms; ++f)
            p.suffix.push_back(next());
        for (std::size_t f = 0; f < forms; ++f)
            p.tag.push_back(next());
        for (std::size_t f = 0; f < forms; ++f)
            p.prefix.push_back(next());
        formTags.clear();
        for (std::size_t f = 0; f < forms; ++f) {
            if (p.suffix[f] >= suffixes.size() || p.tag[f] >= tags.size()
                || p.prefix[f] >= prefixes.size())
                return fail(QStringLiteral("paradigm %1, form %2 refers to a missing suffix, "
                                           "tag or prefix")
                                .arg(i)
                                .arg(f));
            formTags.push_back(&tags[p.tag[f]]);
        }
        p.lexemes = splitParadigm(formTags);
    }
    if (at != total)
        return fail(QStringLiteral("%1 bytes follow the last paradigm").arg(2 * (total - at)));
    return true;
}

bool Morphology::loadWords(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "words.dawg");
    DawgFile dawg;
    if (!dawg.load(path, error))
        return false;
    stems.clear();
    keyCount = 0;
    QString problem;
    const bool walked = dawg.forEachKey(
        [&](std::string_view key, std::uint32_t) {
            WordKey k;
            if (!decodeWordKey(key, &k)) {
                problem = QStringLiteral("key %1 does not end in a separator and four odd "
                                         "bytes")
                              .arg(keyCount + 1);
                return false;
            }
            if (k.paradigm >= paradigms.size()
                || int(k.formIndex) >= paradigms[k.paradigm].formCount()) {
                problem = QStringLiteral("key %1 (%2) names paradigm %3, form %4, which does "
                                         "not exist")
                              .arg(keyCount + 1)
                              .arg(QString::fromStdString(cp1251ToUtf8(k.word)))
                              .arg(k.paradigm)
                              .arg(k.formIndex);
                return false;
            }
            const Paradigm &p = paradigms[k.paradigm];
            const std::string &prefix = prefixes[p.prefix[k.formIndex]];
            const std::string &suffix = suffixes[p.suffix[k.formIndex]];
            if (k.word.size() < prefix.size() + suffix.size() || !k.word.starts_with(prefix)
                || !k.word.ends_with(suffix)) {
                problem = QStringLiteral("key %1 (%2) lacks the prefix or suffix of its "
                                         "paradigm's form")
                              .arg(keyCount + 1)
                              .arg(QString::fromStdString(cp1251ToUtf8(k.word)));
                return false;
            }
            if (k.formIndex == 0)
                stems.push_back(StemEntry{
                    k.paradigm,
                    std::string(k.word.substr(prefix.size(),
                                              k.word.size() - prefix.size() - suffix.size()))});
            ++keyCount;
            return true;
        },
        error);
    if (!walked)
        return false;
    if (!problem.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    if (m_expectedKeys >= 0 && keyCount != m_expectedKeys) {
        *error = QStringLiteral("%1: %2 keys, meta.json announces %3")
                     .arg(path)
                     .arg(keyCount)
                     .arg(m_expectedKeys);
        return false;
    }
    // Each stored word has all its paradigm's forms as keys; anything else means keys
    // that no lexeme generates, or lexemes with missing forms.
    std::int64_t generated = 0;
    for (const StemEntry &s : stems)
        generated += paradigms[s.paradigm].formCount();
    if (generated != keyCount) {
        *error = QStringLiteral("%1: the counts do not add up: %2 keys, but the %3 initial "
                                "forms' paradigms make %4")
                     .arg(path)
                     .arg(keyCount)
                     .arg(stems.size())
                     .arg(generated);
        return false;
    }
    return true;
}

bool Morphology::loadProbabilities(const QString &dir, QString *error)
{
    const QString path = fileName(dir, "p_t_given_w.intdawg");
    DawgFile dawg;
    if (!dawg.load(path, error))
        return false;
    std::unordered_map<std::string, std::uint16_t> tagIds;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        std::string text = tags[i].props;
        tagIds.emplace(std::move(text), std::uint16_t(i));
    }
    tagProbabilities.clear();
    QString problem;
    std::string props;
    const bool walked = dawg.forEachKey(
        [&](std::string_view key, std::uint32_t value) {
            const std::size_t colon = key.find(':');
            if (colon == std::string_view::npos) {
                problem = QStringLiteral("a key without a colon between word and tag");
                return false;
            }
            props.assign(key.substr(colon + 1));
            std::replace(props.begin(), props.end(), ' ', ',');
            const auto tag = tagIds.find(props);
            // Tags of words outside the dictionary (LATN, NUMB, ...) concern no lexeme.
            if (tag == tagIds.end())
                return true;
            tagProbabilities[std::string(key.substr(0, colon))].emplace_back(tag->second, value);
            return true;
        },
        error);
    if (!walked)
        return false;
    if (!problem.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    return true;
}
