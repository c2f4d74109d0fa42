#include "builder/ngramview.h"

#include "builder/wordformview.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// "кот" has two homographs; the pairs of the one read last are shown.
const QString Source = uR"([forms]
10|кот|10|NOUN
11|коты|10|NOUN
20|кот|20|NOUN,Abbr
30|ест|30|VERB
[grams2]
20|30  30|20  10|30
[grams3]
30|20|30
)"_s;

class NgramViewTest : public ::testing::Test
{
protected:
    OpenDictionary m_open{TestDictionary::fromText(Source)};
    Dictionary &m_dictionary = m_open.dictionary;
};

TEST_F(NgramViewTest, ShowsTheRowsOfTheLastHomographNumbered)
{
    NgramView view;
    EXPECT_EQ(view.grid(1).rows, QList<QStringList>(4, QStringList(4, QString())));
    ASSERT_EQ(view.refresh(m_dictionary, u"КОТ"_s), QString());
    EXPECT_EQ(view.grid(0).caption, u"Биграммы справа (1)"_s);
    EXPECT_EQ(view.grid(0).rows, (QList<QStringList>{{u"1"_s, u"w20"_s, u"w30"_s, u"1"_s}}));
    EXPECT_EQ(view.grid(1).caption, u"Биграммы слева (1)"_s);
    EXPECT_EQ(view.grid(2).rows,
              (QList<QStringList>{{u"1"_s, u"w30"_s, u"w20"_s, u"w30"_s, u"1"_s}}));

    // A busy connection changes nothing.
    ASSERT_TRUE(m_dictionary.claim());
    EXPECT_EQ(view.refresh(m_dictionary, u"ест"_s), dictionaryBusyMessage());
    EXPECT_EQ(view.grid(0).caption, u"Биграммы справа (1)"_s);
    EXPECT_EQ(allWordForms(m_dictionary, {u"кот"_s}).error, dictionaryBusyMessage());
    m_dictionary.release();

    // A word the dictionary lacks leaves one empty row in each grid.
    ASSERT_EQ(view.refresh(m_dictionary, QString()), QString());
    for (int k = 0; k < NgramView::GridCount; ++k) {
        EXPECT_TRUE(view.grid(k).caption.endsWith(u" (0)"_s));
        ASSERT_EQ(view.grid(k).rows.size(), 1);
        EXPECT_EQ(view.grid(k).rows[0], QStringList(view.grid(k).headers.size(), QString()));
    }
}

TEST_F(NgramViewTest, WordFormsFollowTheirVariantOfTheLookUp)
{
    WordFormView forms;
    ASSERT_EQ(forms.refresh(m_dictionary, u"Коты"_s), QString());
    EXPECT_EQ(forms.text(), u"кот\r\nкоты\r\n"_s);
    EXPECT_EQ(forms.statusText(), u"Словоформ: 2"_s);
    ASSERT_EQ(forms.refresh(m_dictionary, u"пёс"_s), QString());
    EXPECT_EQ(forms.text(), QString());
    EXPECT_EQ(forms.statusText(), u"Словоформ: 0"_s);

    // The first homograph gives the initial form when one is added.
    EXPECT_EQ(initialFormOf(m_dictionary, u"коты"_s).word, u"кот"_s);
    EXPECT_EQ(firstInitialFormId(m_dictionary, u"кот"_s).id, u"10"_s);
    EXPECT_EQ(lastInitialFormId(m_dictionary, u"Кот"_s).id, u"20"_s);
    EXPECT_FALSE(firstInitialFormId(m_dictionary, u"Кот"_s).found());
}

} // namespace
