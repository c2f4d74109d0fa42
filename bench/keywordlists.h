#pragma once

// The generated keyword lists that the comparison benches share: ten lists of keyword
// phrases written as UTF-8 files list1.txt .. list10.txt into a folder.

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace keywordlists {

constexpr int KeywordListCount = 10;


// Keyword phrases of two to four words: a few hundred common words and many rarer made-up
// ones, so phrases repeat across lists only where the generator shares them.
inline std::vector<std::string> vocabulary(std::mt19937_64 &random)
{
    std::vector<std::string> words = {
        "купить", "цена", "недорого", "отзывы", "москва", "ремонт", "квартира", "диван",
        "доставка", "интернет", "магазин", "скидка", "новый", "бу", "фото", "как",
        "сделать", "своими", "руками", "для", "дома", "детский", "кожаный", "угловой",
        "спб", "аренда", "продажа", "услуги", "лучший", "дешево", "качественный", "заказать",
        "онлайн", "бесплатно", "ёлка", "искусственная", "сосна", "зелёный", "белый", "чёрный"};
    const char *syllables[] = {"ка", "ро", "ви", "на", "ло", "ме", "ст", "пр", "ни", "ту",
                               "ша", "зё", "бы", "ль", "де", "ко", "ми", "ра", "се", "жи",
                               "ще", "чу", "гл", "ой", "ый", "ая", "ов", "ёр", "кр", "тв"};
    while (words.size() < 20000) {
        std::string word;
        const int parts = 2 + int(random() % 3);
        for (int p = 0; p < parts; ++p)
            word += syllables[random() % std::size(syllables)];
        words.push_back(word);
    }
    return words;
}

inline std::string phrase(std::mt19937_64 &random, const std::vector<std::string> &words)
{
    std::string text;
    const int count = 2 + int(random() % 3);
    for (int w = 0; w < count; ++w) {
        if (w > 0)
            text += ' ';
        // Every other word from the common head of the vocabulary.
        const std::size_t range = w % 2 == 0 ? 40 : words.size();
        text += words[random() % range];
    }
    return text;
}

// About 30% of each list comes from a pool shared by all lists, 5% repeats a line of the
// same list, the rest is the list's own.
inline QStringList writeKeywordLists(const QString &folder, int linesPerList)
{
    std::mt19937_64 random(20261207);
    const std::vector<std::string> words = vocabulary(random);
    std::vector<std::string> pool(std::size_t(linesPerList) * 6 / 10);
    for (std::string &line : pool)
        line = phrase(random, words);
    QStringList paths;
    for (int i = 1; i <= KeywordListCount; ++i) {
        std::vector<std::string> lines;
        lines.reserve(std::size_t(linesPerList));
        std::string bytes;
        for (int n = 0; n < linesPerList; ++n) {
            const unsigned roll = unsigned(random() % 100);
            if (roll < 30)
                lines.push_back(pool[random() % pool.size()]);
            else if (roll < 35 && !lines.empty())
                lines.push_back(lines[random() % lines.size()]);
            else
                lines.push_back(phrase(random, words));
            bytes += lines.back();
            bytes += '\n';
        }
        const QString path = QDir(folder).filePath(QStringLiteral("list%1.txt").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return {};
        }
        paths.append(path);
    }
    return paths;
}

} // namespace keywordlists

using keywordlists::KeywordListCount;
using keywordlists::writeKeywordLists;
