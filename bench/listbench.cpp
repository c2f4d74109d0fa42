// Times the shared list work on generated data: load + split + sort + dedupe of a
// 1,000,000-line UTF-8 file, and ReplaceAll on a 10 MB text.

#include "common/linelist.h"
#include "common/textfile.h"
#include "common/textlines.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

QString randomWord(QRandomGenerator &random)
{
    static const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    QString word;
    const int length = 3 + int(random.bounded(9));
    for (int i = 0; i < length; ++i)
        word += letters.at(random.bounded(int(letters.size())));
    return word;
}

// Thread CPU time: on a shared machine the wall clock also counts other work.
struct CpuTimer
{
    double begin = now();
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    }
    void restart() { begin = now(); }
    double elapsed() const { return now() - begin; }
};

double seconds(const CpuTimer &timer)
{
    return timer.elapsed();
}

} // namespace

int main()
{
    QRandomGenerator random(42);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.txt"));

    // One line in three repeats an earlier one.
    QStringList lines;
    lines.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) {
        if (i > 0 && random.bounded(10) < 3)
            lines.append(lines.at(random.bounded(i)));
        else
            lines.append(randomWord(random) + (random.bounded(2) ? QStringLiteral(" ") + randomWord(random) : QString()));
    }
    SaveTextFile(path, TextEncoding::UTF8, lines);
    lines.clear();

    CpuTimer timer;
    const TextFileRead read = LoadTextFile(path, TextEncoding::UTF8);
    const double loaded = seconds(timer);
    QStringList split = read.lines();
    const double splitDone = seconds(timer);
    split = SortList(split);
    const double sorted = seconds(timer);
    split = DeleteRepeatedLines(split);
    const double total = seconds(timer);
    std::printf("1,000,000 lines (%lld MB UTF-8): load %.3f s, split %.3f s, sort %.3f s, "
                "dedupe %.3f s; total %.3f s of CPU (target <= 1.5 s); %lld distinct lines\n",
                (long long)(QFile(path).size() >> 20), loaded, splitDone - loaded,
                sorted - splitDone, total - sorted, total, (long long)split.size());

    QString text;
    while (text.size() < 10 * 1000 * 1000)
        text += randomWord(random) + (random.bounded(8) == 0 ? QStringLiteral("\r\n") : QStringLiteral(" "));
    timer.restart();
    const Replaced r = ReplaceAll(text, QStringLiteral("ок"), QStringLiteral("ОК!"), false, false);
    const double replaced = seconds(timer);
    timer.restart();
    const Replaced whole = ReplaceAll(text, QStringLiteral("кот"), QStringLiteral("пёс"), true, true);
    const double wholeWord = seconds(timer);
    std::printf("ReplaceAll on %lld characters: %d replacements in %.3f s of CPU (target <= 0.3 s); "
                "whole word, match case: %d in %.3f s\n",
                (long long)text.size(), r.count, replaced, whole.count, wholeWord);
    return 0;
}
