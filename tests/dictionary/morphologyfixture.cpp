#include "tests/dictionary/morphologyfixture.h"

#include "dictionary/cp1251.h"
#include "dictionary/morphology.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <set>

namespace {

struct TrieNode
{
    std::map<std::uint8_t, int> children;
    bool hasValue = false;
    std::uint32_t value = 0;
};

template<typename T> void appendLittleEndian(QByteArray *bytes, T v)
{
    const T le = qToLittleEndian(v);
    bytes->append(reinterpret_cast<const char *>(&le), sizeof le);
}

} // namespace

QByteArray dawgBytes(const std::map<std::string, std::uint32_t> &keys)
{
    std::vector<TrieNode> nodes(1);
    for (const auto &[key, value] : keys) {
        int at = 0;
        for (const char c : key) {
            const auto label = std::uint8_t(c);
            auto found = nodes[at].children.find(label);
            if (found == nodes[at].children.end()) {
                nodes.emplace_back();
                found = nodes[at].children.emplace(label, int(nodes.size() - 1)).first;
            }
            at = found->second;
        }
        nodes[at].hasValue = true;
        nodes[at].value = value;
    }
    // Node n sits at position[n]; its children and its value live in block n + 1.
    std::vector<std::uint32_t> position(nodes.size(), 0);
    std::vector<std::uint32_t> units(256 * (nodes.size() + 1), 0);
    std::vector<std::uint8_t> guide(2 * units.size(), 0);
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        const std::uint32_t base = 256 * std::uint32_t(n + 1);
        const std::uint32_t at = position[n];
        const std::uint32_t offset = at ^ base;
        units[at] |= offset << 10;
        if (nodes[n].hasValue) {
            units[at] |= 1u << 8;
            units[base] = (1u << 31) | nodes[n].value;
        }
        std::uint8_t previous = 0;
        for (const auto &[label, child] : nodes[n].children) {
            position[child] = base + label;
            units[base + label] |= label;
            if (previous == 0)
                guide[2 * at] = label;
            else
                guide[2 * (base + previous) + 1] = label;
            previous = label;
        }
    }
    QByteArray bytes;
    appendLittleEndian<std::uint32_t>(&bytes, std::uint32_t(units.size()));
    for (const std::uint32_t u : units)
        appendLittleEndian<std::uint32_t>(&bytes, u);
    appendLittleEndian<std::uint32_t>(&bytes, std::uint32_t(units.size()));
    bytes.append(reinterpret_cast<const char *>(guide.data()), qsizetype(guide.size()));
    return bytes;
}

std::string cp1251(const std::string &utf8)
{
    std::string out;
    utf8ToCp1251(utf8, &out);
    return out;
}

TestMorphology TestMorphology::standard()
{
    TestMorphology m;
    m.tags = {
        "NOUN,anim,femn sing,nomn", "NOUN,anim,femn sing,gent", "NOUN,anim,femn plur,nomn",  // 0
        "INFN,perf,intr", "VERB,perf,intr plur,past,indc",                                  // 3
        "PRTF,perf,intr,past,actv plur,nomn", "ADJF,Qual masc,sing,nomn",                   // 5
        "ADJF,Qual plur,gent", "COMP,Qual", "ADJF,Supr,Qual masc,sing,nomn",                // 7
        "ADJF,Supr,Qual plur,gent", "NOUN,anim,masc,Name sing,nomn",                        // 10
        "NOUN,anim,masc,Name sing,ablt", "NOUN,anim,masc,Patr sing,nomn",                   // 12
        "NOUN,anim,masc,Patr sing,ablt", "NOUN,anim,femn,Patr sing,nomn",                   // 14
        "NUMR masc,nomn", "ADJF,Anum masc,sing,nomn", "ADJF,Anum masc,sing,gent",           // 16
        "NOUN,inan,femn sing,nomn", "NOUN,inan,femn sing,gent", "NOUN,inan,femn plur,nomn", // 19
        "NOUN,anim,masc sing,nomn", "NOUN,anim,masc sing,gent", "NOUN,inan,femn sing,datv", // 22
        "ADJF,Qual plur,nomn", "NOUN,anim,femn,Name sing,nomn",                             // 25
        "NOUN,anim,femn,Name sing,gent",                                                    // 27
    };
    m.paradigms = {
        {{{"а", 0}, {"и", 1}, {"и", 2}}},                // 0 кошка
        {{{"ь", 19}, {"и", 20}, {"и", 21}, {"и", 24}}},  // 1 сталь
        {{{"ть", 3}, {"ли", 4}, {"вшие", 5}}},           // 2 стать
        {{{"хороший", 6}, {"хороших", 7}, {"лучше", 8}, {"лучше", 8, 1}, {"хороший", 9, 2},
          {"хороших", 10, 2}, {"лучший", 9}, {"лучших", 10}, {"лучший", 9, 2},
          {"лучших", 10, 2}}},                                                  // 3 хороший
        {{{"", 11}, {"ом", 12}, {"ович", 13}, {"овичем", 14}, {"овна", 15}}},  // 4 иван
        {{{"один", 16}, {"первый", 17}, {"первого", 18}}},                     // 5 один
        {{{"ёж", 22}, {"ежа", 23}}},                                           // 6 ёж
        {{{"ий", 6}, {"ие", 25}}},                                             // 7 ставший
        {{{"а", 26}, {"и", 27}}},                                              // 8 Кошка, a name
    };
    m.words = {{0, "кошк"}, {1, "стал"}, {2, "ста"}, {3, ""}, {4, "иван"},
               {5, ""},     {6, ""},     {7, "ставш"}, {8, "кошк"}};
    m.probabilities = {{"стали:VERB,perf,intr plur,past,indc", 983379},
                       {"стали:NOUN,inan,femn sing,gent", 2770},
                       {"c:LATN", 989473}};
    return m;
}

std::map<std::string, std::uint32_t> TestMorphology::wordKeys() const
{
    static const char *const Prefixes[] = {"", "по", "наи"};
    std::map<std::string, std::uint32_t> keys;
    for (const FixtureWord &w : words) {
        const FixtureParadigm &p = paradigms[std::size_t(w.paradigm)];
        for (std::size_t f = 0; f < p.forms.size(); ++f) {
            const std::string word = cp1251(std::string(Prefixes[p.forms[f].prefix]) + w.stem
                                            + p.forms[f].suffix);
            keys.emplace(encodeWordKey(word, std::uint32_t(w.paradigm), std::uint32_t(f)), 0);
        }
    }
    return keys;
}

QByteArray TestMorphology::paradigmsArray() const
{
    // Suffix ids follow the order of first use.
    std::vector<std::string> suffixes;
    const auto suffixId = [&](const char *s) {
        for (std::size_t i = 0; i < suffixes.size(); ++i)
            if (suffixes[i] == s)
                return std::uint16_t(i);
        suffixes.emplace_back(s);
        return std::uint16_t(suffixes.size() - 1);
    };
    QByteArray bytes;
    appendLittleEndian<std::uint16_t>(&bytes, std::uint16_t(paradigms.size()));
    for (const FixtureParadigm &p : paradigms) {
        appendLittleEndian<std::uint16_t>(&bytes, std::uint16_t(3 * p.forms.size()));
        for (const auto &f : p.forms)
            appendLittleEndian<std::uint16_t>(&bytes, suffixId(f.suffix));
        for (const auto &f : p.forms)
            appendLittleEndian<std::uint16_t>(&bytes, std::uint16_t(f.tag));
        for (const auto &f : p.forms)
            appendLittleEndian<std::uint16_t>(&bytes, std::uint16_t(f.prefix));
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool TestMorphology::write(const QString &dir) const
{
    const QDir d(dir);
    QJsonArray suffixList;
    std::set<std::string> seen;
    for (const FixtureParadigm &p : paradigms)
        for (const auto &f : p.forms)
            if (seen.insert(f.suffix).second)
                suffixList.append(QString::fromUtf8(f.suffix));
    QJsonArray tagList;
    for (const std::string &t : tags)
        tagList.append(QString::fromStdString(t));
    std::map<std::string, std::uint32_t> probabilityKeys;
    for (const auto &[key, p] : probabilities)
        probabilityKeys.emplace(cp1251(key), p);
    const std::map<std::string, std::uint32_t> keys = wordKeys();
    const QJsonArray meta{
        QJsonArray{QStringLiteral("source"), QStringLiteral("test")},
        QJsonArray{QStringLiteral("source_version"), QStringLiteral("1")},
        QJsonArray{QStringLiteral("words_dawg_length"), double(keys.size())},
        QJsonArray{QStringLiteral("paradigms_length"), double(paradigms.size())},
        QJsonArray{QStringLiteral("suffixes_length"), double(suffixList.size())},
        QJsonArray{QStringLiteral("gramtab_length"), double(tags.size())},
        QJsonArray{QStringLiteral("compile_options"),
                   QJsonObject{{QStringLiteral("paradigm_prefixes"),
                                QJsonArray{QString(), QStringLiteral("по"),
                                           QStringLiteral("наи")}}}},
    };
    return writeFile(d.filePath(QStringLiteral("meta.json")), QJsonDocument(meta).toJson())
           && writeFile(d.filePath(QStringLiteral("suffixes.json")),
                        QJsonDocument(suffixList).toJson())
           && writeFile(d.filePath(QStringLiteral("gramtab-opencorpora-int.json")),
                        QJsonDocument(tagList).toJson())
           && writeFile(d.filePath(QStringLiteral("paradigms.array")), paradigmsArray())
           && writeFile(d.filePath(QStringLiteral("words.dawg")), dawgBytes(keys))
           && writeFile(d.filePath(QStringLiteral("p_t_given_w.intdawg")),
                        dawgBytes(probabilityKeys));
}
