#include "builder/ngramview.h"

#include "builder/wordformview.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Ids follow corpus frequency lexeme by lexeme, as the suite's dictionary numbers
// them: "поле" is first a form of "поле" (ids 10..), then of the rarer "пол" (20..).
const QString Source = uR"([forms]
10|поле|10|NOUN
11|полем|10|NOUN
12|поля|10|NOUN
20|пол|20|NOUN
21|пола|20|NOUN
22|поле|20|NOUN
30|ест|30|VERB
[grams2]
10|30  30|10  20|30
[grams3]
30|10|30  30|20|30
)"_s;

class NgramViewTest : public ::testing::Test
{
protected:
    OpenDictionary m_open{TestDictionary::fromText(Source)};
    Dictionary &m_dictionary = m_open.dictionary;
};

TEST_F(NgramViewTest, ShowsTheRowsOfTheMostFrequentHomographNumbered)
{
    NgramView view;
    EXPECT_EQ(view.grid(1).rows, QList<QStringList>(4, QStringList(4, QString())));
    ASSERT_EQ(view.refresh(m_dictionary, u"ПОЛЕ"_s), QString());
    EXPECT_EQ(view.grid(0).caption, u"Биграммы справа (1)"_s);
    EXPECT_EQ(view.grid(0).rows, (QList<QStringList>{{u"1"_s, u"w10"_s, u"w30"_s, u"1"_s}}));
    EXPECT_EQ(view.grid(1).caption, u"Биграммы слева (1)"_s);
    EXPECT_EQ(view.grid(1).rows, (QList<QStringList>{{u"1"_s, u"w30"_s, u"w10"_s, u"1"_s}}));
    EXPECT_EQ(view.grid(2).rows,
              (QList<QStringList>{{u"1"_s, u"w30"_s, u"w10"_s, u"w30"_s, u"1"_s}}));

    // A busy connection changes nothing.
    ASSERT_TRUE(m_dictionary.claim());
    EXPECT_EQ(view.refresh(m_dictionary, u"ест"_s), dictionaryBusyMessage());
    EXPECT_EQ(view.grid(0).caption, u"Биграммы справа (1)"_s);
    EXPECT_EQ(allWordForms(m_dictionary, {u"поле"_s}).error, dictionaryBusyMessage());
    m_dictionary.release();

    // A word the dictionary lacks leaves one empty row in each grid.
    ASSERT_EQ(view.refresh(m_dictionary, QString()), QString());
    for (int k = 0; k < NgramView::GridCount; ++k) {
        EXPECT_TRUE(view.grid(k).caption.endsWith(u" (0)"_s));
        ASSERT_EQ(view.grid(k).rows.size(), 1);
        EXPECT_EQ(view.grid(k).rows[0], QStringList(view.grid(k).headers.size(), QString()));
    }
}

TEST_F(NgramViewTest, WordFormsTakeTheMostFrequentLexemeFirst)
{
    // The window lists every lexeme of the word, the most frequent one's block first.
    WordFormView forms;
    ASSERT_EQ(forms.refresh(m_dictionary, u"Поле"_s), QString());
    EXPECT_EQ(forms.text(), u"поле\r\nполем\r\nполя\r\nпол\r\nпола\r\nполе\r\n"_s);
    EXPECT_EQ(forms.statusText(), u"Словоформ: 6"_s);
    ASSERT_EQ(forms.refresh(m_dictionary, u"пёс"_s), QString());
    EXPECT_EQ(forms.text(), QString());
    EXPECT_EQ(forms.statusText(), u"Словоформ: 0"_s);

    // The expansion takes the most frequent lexeme alone; a rarer one's own form keeps it.
    EXPECT_EQ(allWordForms(m_dictionary, {u"Поле"_s, u"пола"_s, u"нет"_s}).lines,
              (QStringList{u"поле"_s, u"полем"_s, u"поля"_s, u"пол"_s, u"пола"_s, u"поле"_s}));
    EXPECT_EQ(mostFrequentInitialFormId(m_dictionary, u"поле"_s).id, u"10"_s);
    EXPECT_EQ(lexemesOf(m_dictionary, u"поле"_s).ids, (QStringList{u"10"_s, u"20"_s}));

    // Adding an initial form takes the word as it stands.
    EXPECT_EQ(initialFormOf(m_dictionary, u"пола"_s).word, u"пол"_s);
    EXPECT_EQ(initialFormOf(m_dictionary, u"поле"_s).word, u"поле"_s);
    EXPECT_EQ(firstInitialFormId(m_dictionary, u"поле"_s).id, u"10"_s);
    EXPECT_FALSE(firstInitialFormId(m_dictionary, u"Поле"_s).found());
}

} // namespace
