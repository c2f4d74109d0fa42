#include "dictionary/corpusextractor.h"

#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <zlib.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A gettext catalogue: the header entry, then the pairs in order.
QByteArray moFile(const QList<QPair<QByteArray, QByteArray>> &pairs)
{
    QList<QPair<QByteArray, QByteArray>> entries = {{"", "Content-Type: text/plain\n"}};
    entries += pairs;
    const quint32 n = quint32(entries.size());
    QByteArray head(28, '\0');
    const auto put = [](QByteArray *bytes, qsizetype at, quint32 v) {
        qToLittleEndian(v, bytes->data() + at);
    };
    put(&head, 0, 0x950412de);
    put(&head, 8, n);
    put(&head, 12, 28);
    put(&head, 16, 28 + 8 * n);
    QByteArray tables(16 * qsizetype(n), '\0');
    QByteArray strings;
    const qsizetype base = 28 + 16 * qsizetype(n);
    for (quint32 i = 0; i < n; ++i) {
        put(&tables, 8 * i, quint32(entries[i].first.size()));
        put(&tables, 8 * i + 4, quint32(base + strings.size()));
        strings += entries[i].first + '\0';
        put(&tables, 8 * (n + i), quint32(entries[i].second.size()));
        put(&tables, 8 * (n + i) + 4, quint32(base + strings.size()));
        strings += entries[i].second + '\0';
    }
    return head + tables + strings;
}

QByteArray gzip(const QByteArray &bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8,
                 Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace

TEST(CorpusExtractor, ReadsHtmlAndXmlByTheirParsers)
{
    EXPECT_EQ(htmlParagraphs("<html><head><title>Заголовок окна</title><script>var кот = 1;"
                             "</script></head><body><h1>Глава <b>первая</b></h1><p>Кошки\n"
                             "  стали <i>лучше</i>.<br>Новая строка</p><ul><li>Пункт</li>"
                             "</ul><p>&laquo;Кавычки&raquo; &amp; всё</body></html>"),
              (QStringList{u"Глава первая"_s, u"Кошки стали лучше ."_s, u"Новая строка"_s,
                           u"Пункт"_s, u"«Кавычки» & всё"_s}));
    QStringList paragraphs;
    ASSERT_TRUE(xmlParagraphs("<page xmlns='http://projectmallard.org/1.0/'><info><credit>"
                              "Имя Автора</credit></info><title>Поиск <gui>файлов</gui></title>"
                              "<p>Нажмите <key>Ctrl</key> и <link xref='x'>ссылку</link>.</p>"
                              "<!-- заметка --><list><item><p>один</p></item></list></page>",
                              &paragraphs));
    EXPECT_EQ(paragraphs, (QStringList{u"Поиск файлов"_s, u"Нажмите Ctrl и ссылку ."_s,
                                       u"один"_s}));
    EXPECT_FALSE(xmlParagraphs("<page><p>оборвано</page>", &paragraphs));
    // Entities are not expanded: a file cannot pull in other files.
    ASSERT_TRUE(xmlParagraphs("<!DOCTYPE p [<!ENTITY e SYSTEM 'file:///etc/passwd'>]>"
                              "<p>до &e; после</p>",
                              &paragraphs));
    EXPECT_FALSE(paragraphs.join(u' ').contains(u"root"_s));
}

TEST(CorpusExtractor, ReadsManualPagesCataloguesAndPlainText)
{
    EXPECT_EQ(roffParagraphs(".\\\" комментарий\n.TH LS 1\n.SH ИМЯ\nls \\- показать\n"
                             "содержимое каталога\n.PP\n\\fBКлюч\\fR задаёт\n.B формат\n"
                             "вывода.\n.nf\nстрока один\nстрока два\n.fi\n"),
              (QStringList{u"ИМЯ"_s, u"ls - показать содержимое каталога"_s,
                           u"Ключ задаёт формат вывода."_s, u"строка один"_s,
                           u"строка два"_s}));
    QStringList paragraphs;
    ASSERT_TRUE(moParagraphs(moFile({{"~File", "~Файл"}, {"Open _file", "Открыть _файл"},
                                     {"%d file", QByteArray("%d файл\0%d файла", 25)}}),
                             &paragraphs));
    EXPECT_EQ(paragraphs,
              (QStringList{u"Файл"_s, u"Открыть файл"_s, u"%d файл"_s, u"%d файла"_s}));
    QByteArray truncated = moFile({{"File", "Файл"}});
    truncated.chop(10);
    EXPECT_FALSE(moParagraphs(truncated, &paragraphs));
    EXPECT_FALSE(moParagraphs("not a catalogue at all, not at all", &paragraphs));
    EXPECT_EQ(plainParagraphs("Первая строка\nпродолжение\n%\nВторое\n\n  Третье\x01 \n"),
              (QStringList{u"Первая строка продолжение"_s, u"Второе"_s, u"Третье"_s}));
}

TEST(CorpusExtractor, TakesOnlyTheRussianFilesOfAPackage)
{
    for (const char *path :
         {"usr/share/man/ru/man1/ls.1.gz", "usr/share/doc/debian/FAQ/ru/support.ru.html",
          "usr/share/mc/help/mc.hlp.ru", "usr/share/doc/ubuntu-packaging-guide-html-ru/kde.html",
          "usr/share/games/fortunes/ru/2001.03"})
        EXPECT_TRUE(isRussianTextFile(QString::fromUtf8(path))) << path;
    for (const char *path :
         {"usr/share/games/fortunes/ru/2001.03.dat", "usr/share/doc/fortunes-ru/copyright",
          "usr/share/doc/manpages-ru/changelog.Debian.gz", "usr/share/man/de/man1/ls.1.gz",
          "usr/share/doc/aptitude/html/ru/logo.png",
          "usr/share/help/ru/gnome-help/figures/a.svg"})
        EXPECT_FALSE(isRussianTextFile(QString::fromUtf8(path))) << path;
}

TEST(CorpusExtractor, WritesEachParagraphOnceAndNamesABrokenFile)
{
    QTemporaryDir dir;
    const QDir root(dir.filePath(u"pkg"_s));
    for (const QString &folder :
         {u"usr/share/help/ru/app"_s, u"usr/share/help/de/app"_s, u"usr/share/man/ru/man1"_s})
        ASSERT_TRUE(root.mkpath(folder));
    ASSERT_TRUE(writeFile(root.filePath(u"usr/share/help/ru/app/a.page"_s),
                          "<page><p>Одна и та же фраза.</p><p>Only English here</p></page>"));
    ASSERT_TRUE(writeFile(root.filePath(u"usr/share/help/ru/app/b.page"_s),
                          "<page><p>Одна  и та же\nфраза.</p><p>Другая фраза.</p></page>"));
    ASSERT_TRUE(writeFile(root.filePath(u"usr/share/help/de/app/a.page"_s),
                          "<page><p>Ein Satz.</p></page>"));
    ASSERT_TRUE(writeFile(root.filePath(u"usr/share/man/ru/man1/x.1.gz"_s),
                          gzip(".SH ИМЯ\nx \\- программа\n")));
    const QString out = dir.filePath(u"out"_s);
    CorpusExtraction result = extractCorpus(root.path(), out);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.filesRead, 3);
    EXPECT_EQ(result.paragraphs, 4);
    EXPECT_EQ(result.repeatsDropped, 1);
    QFile text(QDir(out).filePath(u"pkg.txt"_s));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()),
              u"Одна и та же фраза.\nДругая фраза.\nИМЯ\nx - программа\n"_s);
    text.close();

    ASSERT_TRUE(writeFile(root.filePath(u"usr/share/man/ru/man1/x.1.gz"_s),
                          gzip("cut short").left(12)));
    result = extractCorpus(root.path(), out);
    EXPECT_TRUE(result.error.contains(u"x.1.gz: not a complete gzip stream"_s))
        << result.error.toStdString();
    ASSERT_TRUE(writeFile(dir.filePath(u"broken_1.0_all.deb"_s), "!<arch>\ngarbage"));
    result = extractCorpus(dir.filePath(u"broken_1.0_all.deb"_s), out);
    EXPECT_TRUE(result.error.contains(u"broken_1.0_all.deb: dpkg-deb cannot unpack it"_s))
        << result.error.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(out).filePath(u"broken.txt"_s)));
    EXPECT_TRUE(extractCorpus(dir.filePath(u"none"_s), out).error.contains(u"none"_s));
}
