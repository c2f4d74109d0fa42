#include "compare/storepane.h"

#include "common/findreplace.h"
#include "common/textlines.h"
#include "compare/workspace.h"
#include "tests/compare/workspacepanes.h"
#include "tests/support/printers.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString randomLine(QRandomGenerator &random)
{
    // Few distinct lines, so that lists share them; empty lines and blanks included.
    static const QStringList words = {u"кот"_s, u"Кот"_s, u"пёс"_s, u""_s, u" ёж "_s,
                                      u"лиса"_s, u"кот и пёс"_s, u"Ёлка"_s, u"яма"_s, u"b"_s};
    return words[random.bounded(int(words.size()))];
}

QString randomText(QRandomGenerator &random, int maxLines)
{
    QString text;
    const int lines = random.bounded(maxLines + 1);
    for (int k = 0; k < lines; ++k)
        text += randomLine(random) + u"\r\n"_s;
    if (!text.isEmpty() && random.bounded(3) == 0)
        text.chop(2);  // a last line without a break
    return text;
}

/// The lines a whole store finds, by the pane's own rules.
void expectSameLines(const LineStore &store, const QString &text)
{
    ASSERT_EQ(store.text(), text);
    const QStringList lines = splitLines(text);
    ASSERT_EQ(store.lineCount(), lines.size()) << text.toStdString();
    for (int k = 0; k < store.lineCount(); ++k) {
        ASSERT_EQ(store.line(k).toString(), lines[k]);
        ASSERT_EQ(store.lineStart(k), lineStartOffset(text, k));
    }
    for (int offset = 0; offset <= text.size(); ++offset) {
        if (offset == 0 || text[offset - 1] != u'\r') {
            ASSERT_EQ(store.rowAt(offset), lineAtOffset(text, offset)) << offset;
        }
    }
}

/// Two workspaces over the same commands: one of memory panes (the text form the boxes
/// always had), one of store panes.
struct TwinWorkspaces
{
    TwinWorkspaces()
    {
        old = std::make_unique<ComparisonWorkspace>(workspacePanesOf(memory));
        fresh = std::make_unique<ComparisonWorkspace>(workspacePanesOf(stores));
    }
    template <typename Command>
    void both(const Command &command)
    {
        command(*old);
        command(*fresh);
    }
    void expectSame(const std::string &step)
    {
        for (int slot = 0; slot < 43; ++slot) {
            ASSERT_EQ(stores[slot].text(), memory[slot].text()) << step << ", box " << slot;
            ASSERT_EQ(stores[slot].lineCount(), memory[slot].lineCount()) << step;
        }
    }
    std::array<MemoryPane, 43> memory;
    std::array<StorePane, 43> stores;
    std::unique_ptr<ComparisonWorkspace> old;
    std::unique_ptr<ComparisonWorkspace> fresh;
};

BoxId randomBox(QRandomGenerator &random, int listCount)
{
    const int pick = random.bounded(4 * listCount + 2);
    if (pick == 4 * listCount)
        return {BoxId::Merged};
    if (pick == 4 * listCount + 1)
        return {BoxId::Common};
    return {pick / 4 + 1, BoxKind(pick % 4 + 1)};
}

} // namespace

TEST(LineStore, FindsTheLinesOfTheTextAfterEveryEdit)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 200; ++round) {
        QString text = randomText(random, 8);
        LineStore store = LineStore::fromText(text);
        expectSameLines(store, text);
        for (int edit = 0; edit < 6; ++edit) {
            const int start = random.bounded(int(text.size()) + 1);
            // Never cut a CR LF in two: panes hold no lone CR or LF.
            if (start > 0 && start < text.size() && text[start] == u'\n')
                continue;
            int length = random.bounded(int(text.size()) - start + 1);
            if (start + length < text.size() && text[start + length] == u'\n')
                ++length;
            const QString with = random.bounded(2) ? randomText(random, 2) : randomLine(random);
            text.replace(start, length, with);
            store.replace(start, length, with);
            expectSameLines(store, text);
        }
    }
    // A picked store shows each line followed by CR LF, and edits make it whole.
    const QString buffer = u"кот\r\nпёс\r\nёж"_s;
    LineStore picked = LineStore::picked(buffer, {10, 0});
    EXPECT_FALSE(picked.isWhole());
    EXPECT_EQ(picked.text(), u"ёж\r\nкот\r\n"_s);
    EXPECT_EQ(picked.textLength(), 9);
    EXPECT_EQ(picked.rowCount(), 3);
    picked.replace(0, 0, u"x"_s);
    EXPECT_TRUE(picked.isWhole());
    expectSameLines(picked, u"xёж\r\nкот\r\n"_s);
}

TEST(LineStore, AnAbsentBoxFindsItsLinesFromTheComparison)
{
    // More lines than one sample covers, with the lines of list 1 scattered among them.
    QString first, second;
    for (int k = 0; k < 3000; ++k) {
        (k % 7 == 0 ? first : second) += u"строка %1\r\n"_s.arg(k);
        if (k % 5 == 0)
            first += u"своя %1\r\n"_s.arg(k);
    }
    const auto result = std::make_shared<const ComparisonResult>(CompareLists({first, second}));
    const QStringList absent = result->absent(1);
    const LineStore store = LineStore::absentOf(result, 1);
    ASSERT_EQ(store.lineCount(), absent.size());
    for (int k : {0, 1, 255, 256, 257, 1000, int(absent.size()) - 1})
        EXPECT_EQ(store.line(k).toString(), absent[k]) << k;
    EXPECT_EQ(store.text(), result->absentText(1));
    EXPECT_EQ(store.textLength(), result->absentText(1).size());
    EXPECT_EQ(LineStore::absentOf(result, 2).text(), result->absentText(2));
}

TEST(StorePane, EveryCommandGivesTheBoxTextsOfTheTextForm)
{
    QRandomGenerator random(2026);
    for (int round = 0; round < 25; ++round) {
        TwinWorkspaces twins;
        const int n = 2 + random.bounded(9);
        QList<LoadedList> files;
        for (int f = 1; f <= n; ++f)
            files.append({u"list%1.txt"_s.arg(f), randomText(random, 12)});
        AutoActionOptions options;
        options.sort = random.bounded(2);
        options.deleteRepeatingLines = random.bounded(2);
        options.changeCase = random.bounded(2);
        twins.both([&](ComparisonWorkspace &w) {
            w.setOptions(options);
            w.openFiles(files);
        });
        twins.expectSame("open");
        for (int step = 0; step < 30; ++step) {
            const BoxId box = randomBox(random, n);
            const int command = random.bounded(10);
            // The caret on a line, or past the last one.
            const int row = random.bounded(twins.memory[0].lineCount() + 2);
            std::string name = "step " + std::to_string(step) + " command "
                               + std::to_string(command);
            twins.both([&](ComparisonWorkspace &w) {
                w.focusBox(box);
                Pane &p = w.pane(box);
                p.setSelection(lineStartOffset(p.text(), std::min(row, p.lineCount())), 0);
            });
            twins.expectSame(name + " click");
            const Highlighting a = twins.old->N93Click();
            const Highlighting b = twins.fresh->N93Click();
            ASSERT_EQ(a.status, b.status) << name;
            for (std::size_t k = 0; k < a.shades.size(); ++k)
                ASSERT_EQ(a.shades[k].second, b.shades[k].second) << name << " box " << k;
            const QString line = randomLine(random);
            twins.both([&](ComparisonWorkspace &w) {
                switch (command) {
                case 0:
                    w.BitBtn1Click();
                    break;
                case 1:
                    w.deleteRecord();
                    break;
                case 2:
                    w.deleteEverywhere();
                    break;
                case 3:
                    w.replaceEverywhere(w.startReplaceEverywhere(), line);
                    break;
                case 4:
                    w.process(ProcessingCommand(step % 8));
                    break;
                case 5:
                    w.pane(box).replaceRange(w.pane(box).selStart(), 0, line + u"\r\n"_s);
                    break;
                case 6:
                    w.replaceAll({line, u"ё"_s, true, step % 2 == 0, step % 3 == 0});
                    break;
                case 7:
                    w.clear();
                    break;
                case 8:
                    w.setListWindowShown(true);
                    w.focusBox({BoxId::ListWindow});
                    w.deleteRecord();
                    break;
                default:
                    w.paste(w.copyText() + line);
                    break;
                }
            });
            twins.expectSame(name);
        }
    }
}

TEST(StorePane, EditsABigBoxAroundTheCaret)
{
    QString text;
    for (int k = 0; k < 200000; ++k)
        text += u"строка %1\r\n"_s.arg(k);
    StorePane pane;
    pane.setText(text);
    EXPECT_EQ(pane.lineCount(), 200000);
    pane.moveCaret({100000, 4});
    pane.typeText(u"X\r\nY"_s);
    EXPECT_EQ(pane.lineCount(), 200001);
    EXPECT_EQ(pane.store().line(100000).toString(), u"строX"_s);
    EXPECT_EQ(pane.store().line(100001).toString(), u"Yка 100000"_s);
    EXPECT_EQ(pane.store().line(199999).toString(), u"строка 199998"_s);
    EXPECT_EQ(pane.caret(), (TextPoint{100001, 1}));
    EXPECT_EQ(pane.currentLineText(), u"Yка 100000"_s);
    // Backspace at a line's start joins it to the line before, break and all.
    pane.moveCaret({100001, 0});
    pane.deleteCharacter(true);
    EXPECT_EQ(pane.store().line(100000).toString(), u"строXYка 100000"_s);
    EXPECT_EQ(pane.lineCount(), 200000);
    // A selection over many lines goes at once.
    pane.moveCaret({10, 0});
    pane.moveCaret({199990, 0}, true);
    pane.deleteCharacter(false);
    EXPECT_EQ(pane.lineCount(), 20);
    EXPECT_EQ(pane.store().line(10).toString(), u"строка 199990"_s);
    EXPECT_EQ(pane.text(), splitLines(text).mid(0, 10).join(u"\r\n"_s) + u"\r\n"_s
                               + joinLines(splitLines(text).mid(199990)));
}

TEST(StorePane, TakesBackEditsInPlaceUntilTheWholeTextChanges)
{
    StorePane pane;
    pane.setText(u"кот\r\nпёс\r\n"_s);
    pane.moveCaret({0, 3});
    for (const QString &typed : {u"ы"_s, u"!"_s})
        pane.typeText(typed);  // one edit
    pane.moveCaret({1, 0});
    pane.moveCaret({1, 3}, true);
    pane.typeText(u"лиса\nволк"_s);
    pane.deleteCharacter(true);
    EXPECT_EQ(pane.text(), u"коты!\r\nлиса\r\nвол\r\n"_s);
    ASSERT_TRUE(pane.undo());
    EXPECT_EQ(pane.text(), u"коты!\r\nлиса\r\nволк\r\n"_s);
    ASSERT_TRUE(pane.undo());
    EXPECT_EQ(pane.text(), u"коты!\r\nпёс\r\n"_s);
    EXPECT_EQ(pane.selectedText(), u"пёс"_s);  // the selection the paste replaced
    ASSERT_TRUE(pane.undo());
    EXPECT_EQ(pane.text(), u"кот\r\nпёс\r\n"_s);
    EXPECT_EQ(pane.caret(), (TextPoint{0, 3}));
    EXPECT_FALSE(pane.undo());
    EXPECT_EQ(pane.lineCount(), 2);

    ASSERT_TRUE(pane.redo());
    ASSERT_TRUE(pane.redo());
    EXPECT_EQ(pane.text(), u"коты!\r\nлиса\r\nволк\r\n"_s);
    EXPECT_EQ(pane.caret(), (TextPoint{2, 4}));
    EXPECT_EQ(pane.lineCount(), 3);
    pane.typeText(u"и"_s);  // a new edit: what was taken back is gone
    EXPECT_FALSE(pane.redo());
    EXPECT_EQ(pane.currentLineText(), u"волки"_s);

    // Backspaces and Deletes in a row at one place, across a line break, are one edit.
    pane.moveCaret({2, 2});
    for (int k = 0; k < 4; ++k)
        pane.deleteCharacter(true);
    EXPECT_EQ(pane.text(), u"коты!\r\nлислки\r\n"_s);
    pane.deleteCharacter(false);
    pane.deleteCharacter(false);
    EXPECT_EQ(pane.text(), u"коты!\r\nлиси\r\n"_s);
    ASSERT_TRUE(pane.undo());
    EXPECT_EQ(pane.text(), u"коты!\r\nлиса\r\nволки\r\n"_s);
    EXPECT_EQ(pane.caret(), (TextPoint{2, 2}));
    ASSERT_TRUE(pane.undo());
    EXPECT_EQ(pane.currentLineText(), u"волк"_s);

    pane.setText(u"лев\r\n"_s);
    EXPECT_FALSE(pane.undo());
    EXPECT_EQ(pane.text(), u"лев\r\n"_s);
}

TEST(StorePane, HighlightAndCurrentRecordFollowEdits)
{
    std::array<StorePane, 43> stores;
    ComparisonWorkspace workspace(workspacePanesOf(stores));
    workspace.setListCount(3);
    stores[0].setText(u"кот\r\nпёс\r\n"_s);
    stores[1].setText(u"кот\r\nлиса\r\n"_s);
    stores[2].setText(u"пёс\r\n"_s);
    workspace.BitBtn1Click();
    auto shadeOf = [](const Highlighting &h, const BoxId &box) {
        for (const auto &[id, shade] : h.shades)
            if (id == box)
                return shade;
        return BoxShade::Current;
    };

    // A click on a result box: the comparison answers for every box.
    workspace.focusBox({2, BoxKind::Absent});  // "пёс"
    Highlighting h = workspace.N93Click();
    EXPECT_EQ(h.status, u" Текущая строка: пёс"_s);
    EXPECT_EQ(shadeOf(h, {1, BoxKind::Source}), BoxShade::Holding);
    EXPECT_EQ(shadeOf(h, {2, BoxKind::Source}), BoxShade::Lacking);
    EXPECT_EQ(shadeOf(h, {1, BoxKind::Shared}), BoxShade::Holding);
    EXPECT_EQ(shadeOf(h, {2, BoxKind::Shared}), BoxShade::Lacking);

    // Typing a line into source 2 makes it hold the line; the results stand as compared.
    stores[1].moveCaret({2, 0});
    stores[1].typeText(u"пёс"_s);
    workspace.focusBox({2, BoxKind::Absent});
    h = workspace.N93Click();
    EXPECT_EQ(shadeOf(h, {2, BoxKind::Source}), BoxShade::Holding);
    EXPECT_EQ(shadeOf(h, {2, BoxKind::Absent}), BoxShade::Current);

    // Deleting the record from the merged box takes it out of that box only.
    workspace.focusBox({BoxId::Merged});
    stores[41].moveCaret({2, 1});  // "пёс"
    EXPECT_EQ(workspace.startReplaceEverywhere(), u"пёс"_s);
    workspace.deleteRecord();
    EXPECT_EQ(stores[41].text(), u"кот\r\nлиса\r\n"_s);
    EXPECT_EQ(stores[41].caret(), (TextPoint{0, 0}));
    workspace.focusBox({1, BoxKind::Source});
    stores[0].moveCaret({1, 0});
    h = workspace.N93Click();
    EXPECT_EQ(shadeOf(h, {BoxId::Merged}), BoxShade::Lacking);
    EXPECT_EQ(shadeOf(h, {3, BoxKind::Source}), BoxShade::Holding);

    // A caret line of five megabytes shows cut in the status bar.
    const QString longLine(5 * 1024 * 1024, u'ж');
    stores[2].setText(longLine);
    workspace.focusBox({3, BoxKind::Source});
    h = workspace.N93Click();
    EXPECT_EQ(h.status, u" Текущая строка: "_s + longLine.left(ShownLineUnits) + u'…');
    EXPECT_EQ(shadeOf(h, {1, BoxKind::Source}), BoxShade::Lacking);
}
