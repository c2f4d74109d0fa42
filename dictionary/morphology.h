#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class DawgFile;

/// One grammatical tag of the morphology's tag table.
struct MorphTag
{
    std::string props;  // "NOUN,inan,femn,sing,gent": the tag with its blank made a comma
    std::string pos;    // the part of speech, the first field
    int posClass = 0;   // forms of one class belong to one lexeme (see splitParadigm)
    bool superlative = false;
    bool patronymic = false;
    bool ordinal = false;
    bool personalName = false;  // a first name, surname or patronymic
    bool fullParticiple = false;
    std::string gender;  // masc, femn, neut, ms-f or empty
    /// Parses an OpenCorpora tag such as "ADJF,Supr,Qual masc,sing,nomn".
    static MorphTag fromText(std::string_view text);
};

/// A paradigm: for each form index its suffix, tag and prefix ids, and the lexemes its
/// forms fall into, as lists of form indices whose first is the initial form.
struct Paradigm
{
    std::vector<std::uint16_t> suffix;
    std::vector<std::uint16_t> tag;
    std::vector<std::uint16_t> prefix;
    std::vector<std::vector<std::uint16_t>> lexemes;
    int formCount() const { return int(tag.size()); }
};

/// Splits a paradigm's forms (given by their tags) into lexemes. The head lexeme takes every
/// form of form 0's kind: its part-of-speech class (verb: INFN VERB PRTF PRTS GRND;
/// adjective: ADJF ADJS COMP; every other tag its own) and whether it is superlative, a
/// patronymic of which gender, or ordinal. Forms of another kind go to lexemes of their
/// kind, in order; such a lexeme is cut again wherever the tag of its first form recurs.
std::vector<std::vector<std::uint16_t>> splitParadigm(const std::vector<const MorphTag *> &tags);

/// A stored word's paradigm and stem; its forms are prefix + stem + suffix by paradigm.
struct StemEntry
{
    std::uint32_t paradigm;
    std::string stem;  // Windows-1251
};

/// What a words.dawg key holds.
struct WordKey
{
    std::string_view word;  // Windows-1251
    std::uint32_t paradigm = 0;
    std::uint32_t formIndex = 0;
};
/// Splits a key into the word, a 0x01 byte and two 2-byte values of 7 bits each (lowest bit
/// set); false when the payload is not four odd bytes after the separator.
bool decodeWordKey(std::string_view key, WordKey *decoded);
/// Inverse of decodeWordKey, for writing small dictionaries.
std::string encodeWordKey(std::string_view word, std::uint32_t paradigm, std::uint32_t formIndex);

/// The morphology of a dicts/ folder (meta.json, suffixes.json, gramtab-opencorpora-int.json,
/// paradigms.array, words.dawg, p_t_given_w.intdawg). Words are kept in Windows-1251.
class Morphology
{
public:
    /// Reads and checks every file; on failure returns false with a message naming the file
    /// and the problem.
    bool load(const QString &dir, QString *error);

    std::vector<std::string> prefixes;
    std::vector<std::string> suffixes;
    std::vector<MorphTag> tags;
    std::vector<Paradigm> paradigms;
    std::vector<StemEntry> stems;  // in key order of words.dawg
    std::int64_t keyCount = 0;
    /// Probability (in millionths) of each tag of an ambiguous word: word -> (tag, p).
    std::unordered_map<std::string, std::vector<std::pair<std::uint16_t, std::uint32_t>>>
        tagProbabilities;
    QString sourceVersion;   // the morphology's source version and revision, from meta.json
    QString compiledAt;

    /// The form's word: prefix + stem + suffix.
    void formWord(const StemEntry &entry, int formIndex, std::string *word) const;

private:
    bool loadMeta(const QString &dir, QString *error);
    bool loadSuffixes(const QString &dir, QString *error);
    bool loadTags(const QString &dir, QString *error);
    bool loadParadigms(const QString &dir, QString *error);
    bool loadWords(const QString &dir, QString *error);
    bool loadProbabilities(const QString &dir, QString *error);
    std::int64_t m_expectedKeys = -1;
    std::int64_t m_expectedParadigms = -1;
    std::int64_t m_expectedSuffixes = -1;
    std::int64_t m_expectedTags = -1;
};
