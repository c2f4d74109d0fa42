// Times CompareLists on ten generated lists of 1,000,000 keyword phrases each, then the
// building of every result box's text, beside `LC_ALL=C sort -u` over the same ten files,
// and reports the peak memory. Times are wall clock and the CPU of all threads.
//
// Usage: bench_compare [LINES_PER_LIST [FOLDER]]   (1,000,000 lines by default; a folder keeps
// the generated lists, and a later run with the same folder reuses them)

#include "common/textfile.h"
#include "common/textlines.h"
#include "compare/comparison.h"
#include "bench/keywordlists.h"
#include "bench/processmemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

using processmemory::resetPeak;
using processmemory::statusKb;

namespace {

constexpr int ListCount = KeywordListCount;

// Of every thread of this process.
double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}


double mb(double kb)
{
    return kb / 1024.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int linesPerList = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir temporary;
    // A folder given after the size keeps the lists for the next run, which then reuses them.
    const QDir folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    QStringList paths;
    for (int i = 1; i <= ListCount; ++i)
        paths.append(folder.filePath(QStringLiteral("list%1.txt").arg(i)));
    if (!std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QFile::exists(p); })) {
        std::printf("generating %d lists of %d lines in %s ...\n", ListCount, linesPerList,
                    qPrintable(folder.path()));
        folder.mkpath(QStringLiteral("."));
        paths = writeKeywordLists(folder.path(), linesPerList);
        // Timings start once the files are on disk and the generator's memory is returned.
        ::sync();
#ifdef __GLIBC__
        malloc_trim(0);
#endif
    }
    if (paths.isEmpty())
        return 1;

    QElapsedTimer wall;
    wall.start();
    double cpu = processCpuSeconds();
    // The lists as the source boxes hold them: one text each.
    QStringList sources;
    qint64 fileBytes = 0;
    qint64 utf16Bytes = 0;
    for (const QString &path : paths) {
        const TextFileRead read = LoadTextFile(path, TextEncoding::UTF8);
        if (!read.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(read.error));
            return 1;
        }
        fileBytes += QFileInfo(path).size();
        utf16Bytes += read.text.size() * 2;
        sources.append(read.text);
    }
    const double loadWall = double(wall.elapsed()) / 1000.0;
    const double loadCpu = processCpuSeconds() - cpu;
    const long loadedKb = statusKb("VmRSS");
    const long loadPeakKb = statusKb("VmHWM");

    // Three rounds, each a whole comparison: the machine's own noise shows in their spread,
    // and the middle one is the figure.
    constexpr int Rounds = 3;
    struct Round
    {
        double compareWall, compareCpu, buildWall, buildCpu;
        double total() const { return compareWall + buildWall; }
    };
    std::vector<Round> rounds;
    long comparePeakKb = 0;
    ComparisonResult result;
    qsizetype resultUnits = 0;
    for (int round = 0; round < Rounds; ++round) {
        result = ComparisonResult();
        resetPeak();
        Round r{};
        wall.restart();
        cpu = processCpuSeconds();
        result = CompareLists(sources);
        r.compareWall = double(wall.elapsed()) / 1000.0;
        r.compareCpu = processCpuSeconds() - cpu;
        // Every result box's text once, one at a time, as the window fills its boxes.
        wall.restart();
        cpu = processCpuSeconds();
        resultUnits = 0;
        auto fill = [&](const QString &text) { resultUnits += text.size(); };
        fill(result.mergedText());
        fill(result.commonText());
        for (int i = 1; i <= ListCount; ++i) {
            fill(result.uniqueText(i));
            fill(result.sharedText(i));
            fill(result.absentText(i));
        }
        r.buildWall = double(wall.elapsed()) / 1000.0;
        r.buildCpu = processCpuSeconds() - cpu;
        comparePeakKb = std::max(comparePeakKb, statusKb("VmHWM"));
        rounds.push_back(r);
    }

    using Box = ComparisonResult::Box;
    qsizetype resultLines = result.lineCount(Box::Merged) + result.lineCount(Box::Common);
    for (int i = 1; i <= ListCount; ++i)
        resultLines += result.lineCount(Box::Unique, i) + result.lineCount(Box::Shared, i)
                       + result.lineCount(Box::Absent, i);
    qsizetype inputLines = 0;
    for (const QString &source : sources)
        inputLines += lineCount(source);
    std::printf("input: %lld lines, %.1f MB UTF-8, %.1f MB as UTF-16; %lld distinct, %lld "
                "common;\n       %lld result lines, %.1f MB as UTF-16\n",
                qlonglong(inputLines), double(fileBytes) / 1048576.0,
                double(utf16Bytes) / 1048576.0, qlonglong(result.itemCount()),
                qlonglong(result.lineCount(Box::Common)), qlonglong(resultLines),
                double(resultUnits) * 2.0 / 1048576.0);
    std::printf("load (read, decode):         %6.2f s wall  %6.2f s cpu\n", loadWall, loadCpu);
    for (const Round &r : rounds)
        std::printf("round: CompareLists %.2f s wall (%.2f cpu), every result text %.2f s wall "
                    "(%.2f cpu), in all %.2f s\n",
                    r.compareWall, r.compareCpu, r.buildWall, r.buildCpu, r.total());
    std::sort(rounds.begin(), rounds.end(),
              [](const Round &a, const Round &b) { return a.total() < b.total(); });
    const Round &median = rounds[Rounds / 2];
    const double compareWall = median.compareWall;
    const double compareCpu = median.compareCpu;
    const double buildWall = median.buildWall;
    const double buildCpu = median.buildCpu;
    std::printf("median round:\n");
    std::printf("CompareLists:                %6.2f s wall  %6.2f s cpu\n", compareWall,
                compareCpu);
    std::printf("build every result text:     %6.2f s wall  %6.2f s cpu\n", buildWall, buildCpu);
    std::printf("comparison in all:           %6.2f s wall  %6.2f s cpu   (target <= 3 s)\n",
                compareWall + buildWall, compareCpu + buildCpu);
    std::printf("memory: lists loaded %.0f MB, peak %.0f MB while loading, %.0f MB while "
                "comparing;\n        the process peak is %.2f x the input as UTF-16 (target <= 3)\n",
                mb(double(loadedKb)), mb(double(loadPeakKb)), mb(double(comparePeakKb)),
                double(std::max(loadPeakKb, comparePeakKb)) * 1024.0 / double(utf16Bytes));
    std::fflush(stdout);

    const QString sorted = QDir(temporary.path()).filePath(QStringLiteral("sorted.txt"));
    QProcess sort;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(environment);
    const double childCpu = childrenCpuSeconds();
    wall.restart();
    sort.start(QStringLiteral("sort"), QStringList{QStringLiteral("-u"), QStringLiteral("-o"), sorted}
                                           + paths);
    if (!sort.waitForFinished(-1) || sort.exitCode() != 0) {
        std::fprintf(stderr, "sort failed: %s\n", qPrintable(sort.errorString()));
        return 1;
    }
    const double sortWall = double(wall.elapsed()) / 1000.0;
    const double sortCpu = childrenCpuSeconds() - childCpu;
    qsizetype sortedLines = 0;
    {
        QFile file(sorted);
        if (file.open(QIODevice::ReadOnly))
            sortedLines = file.readAll().count('\n');
    }
    std::printf("LC_ALL=C sort -u, ten files: %6.2f s wall  %6.2f s cpu   (%lld lines)\n",
                sortWall, sortCpu, qlonglong(sortedLines));
    std::printf("ratio sort / comparison:     %6.2f wall  %6.2f cpu\n",
                sortWall / (compareWall + buildWall), sortCpu / (compareCpu + buildCpu));
    return result.itemCount() == sortedLines ? 0 : 1;
}
