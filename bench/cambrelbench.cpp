// Times Cambrel's main window, offscreen, on the comparison bench's ten generated keyword
// lists: opening the ten files (reading, automatic actions, comparison, every box filled),
// a click that highlights the boxes holding the caret line, scrolling every box to its end,
// and the longest the event loop stays away once the comparison is done. Then a list of one
// 5 MB line (comma-separated keywords) opened beside a short one, compared and clicked.
//
// Usage: bench_cambrel [LINES_PER_LIST [FOLDER]]   (100,000 lines by default; a folder keeps
// the generated lists for the next run). The last line is the summary:
//   window: open and compare S s, peak R x the input as UTF-16, click C ms

#include "bench/keywordlists.h"
#include "bench/processmemory.h"
#include "compare/lineboxview.h"
#include "compare/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using processmemory::resetPeak;
using processmemory::statusKb;

namespace {

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The machine is shared, so both the wall clock and the window thread's CPU time are shown.
struct Figure
{
    double wall = 0;  // ms
    double cpu = 0;   // ms
};

/// Runs step, then lets the window lay out and paint once.
template <typename Step>
Figure timed(Step step)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = threadSeconds();
    step();
    QCoreApplication::processEvents();
    return {double(timer.nsecsElapsed()) / 1e6, (threadSeconds() - cpu) * 1e3};
}


/// The longest gap between two turns of the event loop over the next milliseconds.
double longestGap(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return double(longest) / 1e6;
}

Figure clickLine(LineBoxView *box, int row)
{
    const QPoint at = box->rowRect(row).center();
    QCoreApplication::processEvents();
    return timed([&] { QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at); });
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporary;
    const QDir folder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    QStringList paths;
    for (int i = 1; i <= KeywordListCount; ++i)
        paths.append(folder.filePath(QStringLiteral("list%1.txt").arg(i)));
    if (!std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QFile::exists(p); })) {
        folder.mkpath(QStringLiteral("."));
        paths = writeKeywordLists(folder.path(), lines);
        if (paths.isEmpty())
            return 1;
    }
    qint64 utf16Bytes = 0;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        utf16Bytes += QString::fromUtf8(file.readAll()).size() * 2;
    }

    TForm1 window(temporary.filePath(QStringLiteral("Cambrel.ini")));
    window.showMaximized();
    QCoreApplication::processEvents();
    resetPeak();
    const long baseKb = statusKb("VmRSS");

    const Figure open = timed([&] { window.openPaths(paths); });
    const long peakKb = statusKb("VmHWM");
    const double gap = longestGap(1000);
    ComparisonWorkspace &workspace = window.workspace();
    std::printf("input: 10 x %d lines, %.1f MB as UTF-16; window before opening %.0f MB\n", lines,
                double(utf16Bytes) / 1048576.0, double(baseKb) / 1024.0);
    std::printf("open 10 files (read, actions, compare, fill): %8.0f ms wall, %8.0f ms CPU\n",
                open.wall, open.cpu);
    std::printf("  merged %d lines, common %d, unique of list 1 %d, absent of list 1 %d\n",
                workspace.lineCountOf({BoxId::Merged}), workspace.lineCountOf({BoxId::Common}),
                workspace.lineCountOf({1, BoxKind::Unique}),
                workspace.lineCountOf({1, BoxKind::Absent}));
    std::printf("  peak %.0f MB, now %.0f MB; longest event-loop gap afterwards %.1f ms\n",
                double(peakKb) / 1024.0, double(statusKb("VmRSS")) / 1024.0, gap);

    const Figure compare = timed([&] { workspace.BitBtn1Click(); });
    std::printf("compare again with every box refilled:        %8.0f ms wall, %8.0f ms CPU\n",
                compare.wall, compare.cpu);

    LineBoxView *source = window.editor({5, BoxKind::Source});
    double worstClick = 0;
    for (int row : {10, lines / 4, lines / 2}) {
        clickLine(source, row);  // the first click focuses the box
        const Figure again = clickLine(source, row);
        worstClick = std::max(worstClick, again.wall);
        std::printf("highlight click on line %7d:  %6.1f ms wall, %6.1f ms CPU  (%s)\n", row,
                    again.wall, again.cpu,
                    qPrintable(window.statusText(1).left(40)));
    }
    LineBoxView *absent = window.editor({3, BoxKind::Absent});
    clickLine(absent, 5);
    const Figure absentClick = clickLine(absent, 5);
    worstClick = std::max(worstClick, absentClick.wall);
    std::printf("highlight click in an absent box:  %6.1f ms wall, %6.1f ms CPU\n",
                absentClick.wall, absentClick.cpu);

    double worstScroll = 0;
    for (int i = 1; i <= KeywordListCount; ++i)
        for (BoxKind kind : {BoxKind::Source, BoxKind::Unique, BoxKind::Absent, BoxKind::Shared}) {
            LineBoxView *box = window.editor({i, kind});
            const Figure scroll = timed([&] {
                box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
                box->viewport()->repaint();
            });
            worstScroll = std::max(worstScroll, scroll.wall);
        }
    std::printf("scroll a box to its end: at most %.1f ms wall\n", worstScroll);

    // Typing into a big box and clicking again: the edited box answers for itself.
    // The first key makes the box's own copy of its text; the keys after it only edit.
    source->setFocus();
    const Figure typing = timed([&] { QTest::keyClick(source, Qt::Key_X); });
    double worstKey = 0;
    for (int key = 0; key < 10; ++key)
        worstKey = std::max(worstKey, timed([&] { QTest::keyClick(source, Qt::Key_Y); }).wall);
    const Figure afterEdit = clickLine(source, lines / 2);
    std::printf("a key typed into source 5: %.1f ms, the next ten at most %.1f ms; click after "
                "the edit: %.1f ms wall\n",
                typing.wall, worstKey, afterEdit.wall);

    // One line of 5 MB, comma-separated keywords.
    QString longLine;
    while (longLine.size() < 5 * 1024 * 1024 / 2)
        longLine += QStringLiteral("купить диван недорого, ");
    const QString longPath = temporary.filePath(QStringLiteral("long.txt"));
    {
        QFile file(longPath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(longLine.toUtf8() + "\n");
    }
    const QString shortPath = temporary.filePath(QStringLiteral("short.txt"));
    {
        QFile file(shortPath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("кот\n");
    }
    const Figure longOpen = timed([&] { window.openPaths({longPath, shortPath}); });
    LineBoxView *longBox = window.editor({1, BoxKind::Source});
    clickLine(longBox, 0);
    const Figure longClick = clickLine(longBox, 0);
    std::printf("one line of %.1f MB: open and compare %.0f ms, click %.1f ms; status shows %lld "
                "characters\n",
                double(longLine.toUtf8().size()) / 1048576.0, longOpen.wall, longClick.wall,
                qlonglong(window.statusText(1).size()));

    std::printf("targets: open and compare <= 15 s, peak <= 3 x, click <= 50 ms, scroll <= 50 "
                "ms, no gap over 200 ms\n");
    std::printf("window: open and compare %.1f s, peak %.2f x the input as UTF-16, click %.1f ms\n",
                open.wall / 1000.0, double(peakKb) * 1024.0 / double(utf16Bytes), worstClick);
    return 0;
}
