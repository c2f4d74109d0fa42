#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Small morphology folders written by the tests, in the layout of the package's dicts/.

/// A dawgdic file holding keys (raw bytes) with their values: a plain trie laid out with
/// one 256-unit block of children per node, and its guide.
QByteArray dawgBytes(const std::map<std::string, std::uint32_t> &keys);

/// A Windows-1251 spelling of UTF-8 text (the tests' words are all Cyrillic).
std::string cp1251(const std::string &utf8);

struct FixtureParadigm
{
    struct Form
    {
        const char *suffix;  // UTF-8
        int tag;             // index into the tag list
        int prefix = 0;      // 0 "", 1 "по", 2 "наи"
    };
    std::vector<Form> forms;
};

struct FixtureWord
{
    int paradigm;
    const char *stem;  // UTF-8
};

/// The morphology the tests share: кошка, сталь, стать, хороший (with лучший and
/// наилучший among its superlatives), иван (with patronymics), один (with первый), ёж,
/// ставший (an adjective beside стать's participle) and a first name Кошка.
struct TestMorphology
{
    std::vector<std::string> tags;
    std::vector<FixtureParadigm> paradigms;
    std::vector<FixtureWord> words;
    std::map<std::string, std::uint32_t> probabilities;  // "word:tag" in UTF-8 -> p * 1e6
    static TestMorphology standard();
    /// Writes the six files into dir; false on a write failure.
    bool write(const QString &dir) const;
    /// The words.dawg keys: word, 0x01, paradigm and form index.
    std::map<std::string, std::uint32_t> wordKeys() const;
    QByteArray paradigmsArray() const;
};

bool writeFile(const QString &path, const QByteArray &bytes);
