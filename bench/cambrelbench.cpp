// Times Cambrel's main window on ten generated lists of 100,000 lines each, offscreen:
// opening the ten files (automatic actions and comparison included), comparing again with
// every box refilled, and a click that highlights the boxes holding the caret line.

#include "compare/deferredpane.h"
#include "compare/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <cstdio>
#include <ctime>

namespace {

QString randomWord(QRandomGenerator &random)
{
    static const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    QString word;
    const int length = 4 + int(random.bounded(8));
    for (int i = 0; i < length; ++i)
        word += letters.at(random.bounded(int(letters.size())));
    return word;
}

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

/// Lets the boxes take the rest of their long texts.
Figure untilFilled()
{
    return timed([] {
        while (DeferredEditorPane::fillingCount() > 0)
            QCoreApplication::processEvents();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Lists = 10;
    constexpr int Lines = 100000;

    // A shared vocabulary of 400,000 words, so the lists overlap as real ones do.
    QRandomGenerator random(7);
    QStringList vocabulary;
    for (int i = 0; i < 400000; ++i)
        vocabulary.append(randomWord(random));
    QTemporaryDir dir;
    QStringList paths;
    for (int f = 1; f <= Lists; ++f) {
        QString text;
        for (int i = 0; i < Lines; ++i)
            text += vocabulary.at(random.bounded(int(vocabulary.size()))) + u'\n';
        QFile file(dir.filePath(QStringLiteral("list%1.txt").arg(f)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(text.toUtf8());
        paths.append(file.fileName());
    }

    TForm1 window(dir.filePath(QStringLiteral("Cambrel.ini")));
    window.show();
    QCoreApplication::processEvents();

    const Figure open = timed([&] { window.openPaths(paths); });
    const Figure openFill = untilFilled();
    ComparisonWorkspace &workspace = window.workspace();
    std::printf("open 10 x %d lines (actions, compare, refill): %7.0f ms wall, %7.0f ms CPU\n",
                Lines, open.wall, open.cpu);
    std::printf("  then the boxes take the rest of their lines:  %7.0f ms wall, %7.0f ms CPU\n",
                openFill.wall, openFill.cpu);
    std::printf("  merged %d lines, common %d, unique of list 1 %d, absent of list 1 %d\n",
                workspace.lineCountOf({BoxId::Merged}), workspace.lineCountOf({BoxId::Common}),
                workspace.lineCountOf({1, BoxKind::Unique}),
                workspace.lineCountOf({1, BoxKind::Absent}));

    const Figure compare = timed([&] { workspace.BitBtn1Click(); });
    const Figure compareFill = untilFilled();
    std::printf("compare with every box refilled:               %7.0f ms wall, %7.0f ms CPU\n",
                compare.wall, compare.cpu);
    std::printf("  then the boxes take the rest of their lines:  %7.0f ms wall, %7.0f ms CPU\n",
                compareFill.wall, compareFill.cpu);

    QPlainTextEdit *source = window.editor({5, BoxKind::Source});
    for (int line : {10, 50000, 90000}) {
        const QTextBlock block = source->document()->findBlockByNumber(line);
        QTextCursor cursor(block);
        source->setTextCursor(cursor);
        source->centerCursor();
        QCoreApplication::processEvents();
        const QPoint at = source->cursorRect().center();
        const Figure first = timed([&] {
            QTest::mouseClick(source->viewport(), Qt::LeftButton, {}, at);
        });
        const Figure again = timed([&] {
            QTest::mouseClick(source->viewport(), Qt::LeftButton, {}, at);
        });
        std::printf("highlight click on line %6d: %6.1f ms wall, %6.1f ms CPU; again %6.1f / "
                    "%6.1f ms\n",
                    line, first.wall, first.cpu, again.wall, again.cpu);
    }

    // An edit makes the next click read the edited box again.
    source->textCursor().insertText(QStringLiteral("x"));
    const QPoint at = source->cursorRect().center();
    const Figure afterEdit = timed([&] {
        QTest::mouseClick(source->viewport(), Qt::LeftButton, {}, at);
    });
    std::printf("highlight click after an edit: %6.1f ms wall, %6.1f ms CPU\n", afterEdit.wall,
                afterEdit.cpu);
    return 0;
}
