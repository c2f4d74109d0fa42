#include "compare/autoactions.h"

#include "common/textlines.h"
#include "tests/support/printers.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(ApplyAutoActions, RunsTheStepsInTheirOrder)
{
    AutoActionOptions options;
    // Trimming comes first, so lines of blanks become empty and go.
    options.changeCase = options.sort = options.deleteRepeatingLines = false;
    EXPECT_EQ(applyAutoActions({u" \t "_s, u" x "_s}, options), QStringList{u"x"_s});
    options.trim = false;
    EXPECT_EQ(applyAutoActions({u" \t "_s, QString(), u" x "_s}, options),
              (QStringList{u" \t "_s, u" x "_s}));

    // Case before sorting: the order is that of the changed lines.
    options = {};
    options.caseChoice = CaseChoice::Upper;
    EXPECT_EQ(applyAutoActions({u"б"_s, u"А"_s, u"ё"_s}, options),
              (QStringList{u"Ё"_s, u"А"_s, u"Б"_s}));
    options.caseChoice = CaseChoice::Capitalize;
    EXPECT_EQ(applyAutoActions({u"кОТ"_s, u"Кот"_s, u"ёЖ"_s}, options),
              (QStringList{u"Ёж"_s, u"Кот"_s}));
    options.caseChoice = CaseChoice::None;
    EXPECT_EQ(applyAutoActions({u"б"_s, u"Б"_s}, options), (QStringList{u"Б"_s, u"б"_s}));
    options.caseChoice = CaseChoice::Upper;
    options.changeCase = false;
    EXPECT_EQ(applyAutoActions({u"б"_s, u"Б"_s}, options), (QStringList{u"Б"_s, u"б"_s}));

    // Sorting before the repeats go leaves each line once; without it only neighbours
    // merge, and leading empty lines go either way.
    options = {};
    options.trim = options.deleteEmptyLines = options.changeCase = false;
    EXPECT_EQ(applyAutoActions({u"a"_s, QString(), u"b"_s, u"a"_s, QString()}, options),
              (QStringList{u"a"_s, u"b"_s}));
    options.sort = false;
    EXPECT_EQ(applyAutoActions({QString(), u"a"_s, u"a"_s, u"b"_s, u"a"_s}, options),
              (QStringList{u"a"_s, u"b"_s, u"a"_s}));

    AutoActionOptions none;
    none.trim = none.deleteEmptyLines = none.changeCase = none.sort = false;
    none.deleteRepeatingLines = none.compare = false;
    const QStringList untouched{u" Б"_s, QString(), u" Б"_s, u"а"_s};
    EXPECT_EQ(applyAutoActions(untouched, none), untouched);

    // Trimming cuts control characters and spaces only.
    EXPECT_EQ(trimLines({u"\t\u0001 кот \r"_s, u"\u00A0пёс\u3000"_s, u"   "_s, u" a b "_s}),
              (QStringList{u"кот"_s, u"\u00A0пёс\u3000"_s, QString(), u"a b"_s}));
}

TEST(ApplyAutoActions, OnABoxTextGiveWhatTheLineStepsGive)
{
    // Random texts under every combination of options, the sort and repeat removal by the
    // comparison engine included.
    const QStringList words = {u""_s, u" "_s, u"кот"_s, u"Кот"_s, u" кот "_s, u"ёж"_s,
                               u"Ёж"_s, u"\tа"_s, u"b"_s, u"B"_s};
    QRandomGenerator random(5);
    for (int round = 0; round < 300; ++round) {
        QString text;
        for (int k = random.bounded(12); k > 0; --k)
            text += words[random.bounded(int(words.size()))] + u"\r\n"_s;
        if (random.bounded(3) == 0)
            text.chop(2);
        AutoActionOptions options;
        options.trim = random.bounded(2);
        options.deleteEmptyLines = random.bounded(2);
        options.changeCase = random.bounded(2);
        options.caseChoice = CaseChoice(random.bounded(4));
        options.sort = random.bounded(4) > 0;
        options.deleteRepeatingLines = random.bounded(4) > 0;
        EXPECT_EQ(applyAutoActionsToText(text, options),
                  joinLines(applyAutoActions(splitLines(text), options)))
            << text.toStdString();
    }
}

TEST(ApplyProcessing, RewritesTheBoxText)
{
    const QString text = u"  b\r\n\r\nA\r\nA\r\n  \r\nb"_s;
    EXPECT_EQ(applyProcessing(ProcessingCommand::Trim, text), u"b\r\n\r\nA\r\nA\r\n\r\nb\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::DeleteEmptyLines, text),
              u"  b\r\nA\r\nA\r\n  \r\nb\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::DeleteRepeatedLines, u"\r\n\r\na\r\na\r\nb\r\na"_s),
              u"a\r\nb\r\na\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::Sort, text), u"\r\n  \r\n  b\r\nA\r\nA\r\nb\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::Reverse, u"1\n2\n3\n"_s), u"3\r\n2\r\n1\r\n"_s);
    // The case commands change letters only: the text keeps its breaks as they are.
    EXPECT_EQ(applyProcessing(ProcessingCommand::UpperCase, u"ёж\r\nкот"_s), u"ЁЖ\r\nКОТ"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::LowerCase, u"ЁЖ\r\n"_s), u"ёж\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::Capitalize, u"пРИВЕТ мИР\r\nёж"_s),
              u"Привет мир\r\nЁж\r\n"_s);
    EXPECT_EQ(applyProcessing(ProcessingCommand::Sort, QString()), QString());
}
