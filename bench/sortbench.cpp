// Times one press of a send button in Pelmor's window with a 100,000-line
// source: the send itself, and the send with the repaint that follows it.

#include "common/pane.h"
#include "sorter/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int SourceLines = 100000;
constexpr int Presses = 300;

QString randomWord(QRandomGenerator &random)
{
    static const QString letters = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    QString word;
    const int length = 3 + int(random.bounded(12));
    for (int i = 0; i < length; ++i)
        word += letters.at(random.bounded(int(letters.size())));
    return word;
}

// Thread CPU time: on a shared machine the wall clock also counts other work.
double cpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("%-34s median %6.2f ms  mean %6.2f ms  95%% %6.2f ms  max %6.2f ms\n", what,
                times[times.size() / 2], sum / double(times.size()), times[times.size() * 95 / 100],
                times.back());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QRandomGenerator random(8);
    QString text;
    for (int i = 0; i < SourceLines; ++i)
        text += randomWord(random) + QStringLiteral(" ") + randomWord(random)
            + QStringLiteral("\r\n");

    TForm1 window;
    window.show();
    QElapsedTimer load;
    load.start();
    window.session().loadSource(QStringLiteral("/bench/source.txt"), text);
    QApplication::processEvents();
    std::printf("source: %d lines, %lld characters; loaded and shown in %lld ms\n", SourceLines,
                static_cast<long long>(text.size()), static_cast<long long>(load.elapsed()));

    std::vector<double> sendCpu, sendWall, shownCpu;
    for (int press = 0; press < Presses; ++press) {
        QElapsedTimer wall;
        wall.start();
        const double cpu = cpuNow();
        window.session().SendToList(1 + press % 5);
        sendCpu.push_back(cpuNow() - cpu);
        sendWall.push_back(double(wall.nsecsElapsed()) / 1e6);
        QApplication::processEvents();  // the repaint the user waits for
        shownCpu.push_back(cpuNow() - cpu);
    }
    report("send (CPU)", sendCpu);
    report("send (wall)", sendWall);
    report("send and repaint (CPU)", shownCpu);

    std::vector<double> undoCpu;
    for (int i = 0; i < 9; ++i) {
        const double cpu = cpuNow();
        window.session().Undo();
        undoCpu.push_back(cpuNow() - cpu);
    }
    report("undo (CPU)", undoCpu);
    std::printf("source left: %d lines\n", window.session().source().lineCount());
    return 0;
}
