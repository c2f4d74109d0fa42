#include "tests/dictionary/morphologyfixture.h"
#include "tests/support/clitest.h"
#include "tests/support/printers.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

class DictCommands : public CliTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"morph"_s));
        ASSERT_TRUE(TestMorphology::standard().write(path(u"morph"_s)));
        file(u"a.txt"_s, "Кошки стали лучших.\n");
        file(u"b.txt"_s, "Ёж, кошка и сталь.\n");
    }
};

} // namespace

TEST_F(DictCommands, CountsSharesAndBuildsFromThemWithMachineProgress)
{
    CliRun r = run({u"dict"_s, u"count"_s, u"--out"_s, path(u"a.counts"_s), path(u"a.txt"_s)});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QDir::toNativeSeparators(path(u"a.counts"_s)).toUtf8()
                                 + ": 3 tokens counted"))
        << r.out.toStdString();
    r = run({u"dict"_s, u"build"_s, u"--morph"_s, path(u"morph"_s), u"--counts"_s,
             path(u"a.counts"_s), u"--corpus"_s, path(u"b.txt"_s), u"--out"_s,
             path(u"d.sqlite"_s), u"--memory"_s, u"64M"_s, u"--progress"_s, u"machine"_s});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "stage count\ntokens 7\nstage match\nstage choose\nstage forms\n"
                     "stage grams\nstage index\ndone "
                         + QDir::toNativeSeparators(path(u"d.sqlite"_s)).toUtf8() + "\n");
    EXPECT_EQ(r.err, QString());
}

TEST_F(DictCommands, RefusesOptionsItCannotRead)
{
    const QStringList build = {u"dict"_s, u"build"_s, u"--morph"_s, path(u"morph"_s),
                               u"--out"_s, path(u"d.sqlite"_s)};
    for (const auto &[extra, message] :
         {std::pair{QStringList{u"--memory"_s, u"12X"_s}, u"--memory takes a size"_s},
          std::pair{QStringList{u"--memory"_s, u"100"_s}, u"--memory takes a size"_s},
          std::pair{QStringList{u"--progress"_s, u"fast"_s}, u"--progress takes machine"_s}}) {
        const CliRun r = run(build + extra);
        EXPECT_EQ(r.status, CliBadInput);
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
    }
    const CliRun r = run({u"dict"_s, u"count"_s, path(u"a.txt"_s)});
    EXPECT_EQ(r.status, CliBadInput);
    EXPECT_TRUE(r.err.contains(u"dict count needs --out FILE"_s)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"d.sqlite"_s)));
}
