#include "dictionary/corpusreader.h"

#include "dictionary/cp1251.h"
#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bzlib.h>
#include <lzma.h>
#include <zip.h>
#include <zlib.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Lines = std::vector<std::string>;

QByteArray gzipped(const QByteArray &bytes)
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(bytes.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray bzipped(const QByteArray &bytes)
{
    QByteArray out(bytes.size() + bytes.size() / 100 + 1024, '\0');
    auto length = unsigned(out.size());
    BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char *>(bytes.constData()),
                             unsigned(bytes.size()), 9, 0, 0);
    out.resize(qsizetype(length));
    return out;
}

QByteArray xzipped(const QByteArray &bytes)
{
    QByteArray out(int(lzma_stream_buffer_bound(std::size_t(bytes.size()))), '\0');
    std::size_t length = 0;
    lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr,
                            reinterpret_cast<const uint8_t *>(bytes.constData()),
                            std::size_t(bytes.size()), reinterpret_cast<uint8_t *>(out.data()),
                            &length, std::size_t(out.size()));
    out.resize(qsizetype(length));
    return out;
}

bool writeZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &members)
{
    int error = 0;
    zip_t *archive = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, content] : members) {
        zip_source_t *source = zip_source_buffer(archive, content.constData(),
                                                 zip_uint64_t(content.size()), 0);
        if (!source || zip_file_add(archive, name.constData(), source, 0) < 0)
            return false;
    }
    return zip_close(archive) == 0;
}

Lines read(const QString &path, QString *error)
{
    Lines lines;
    error->clear();
    if (!readCorpusFile(path, [&](std::string_view l) { lines.emplace_back(l); return true; },
                        error))
        lines.push_back("ERROR");
    return lines;
}

const char Fb2[] = R"(<?xml version="1.0" encoding="windows-1251"?>
<FictionBook xmlns="http://www.gribuser.ru/xml/fictionbook/2.0" xmlns:l="http://www.w3.org/1999/xlink">
<description><title-info><author><last-name>Автор</last-name></author></title-info></description>
<body><title><p>Глава первая</p></title>
<section><p>Кот <emphasis>спал</emphasis> на печи.</p>
<poem><stanza><v>Белый снег</v><v>лежит в полях</v></stanza></poem></section></body>
<binary id="cover.jpg" content-type="image/jpeg">/9j/4AAQSkZJRgABAQ</binary>
</FictionBook>
)";

const char WikiDump[] = R"(<mediawiki xmlns="http://www.mediawiki.org/xml/export-0.10/" xml:lang="ru">
<siteinfo><sitename>Википедия</sitename></siteinfo>
<page><title>Кот</title><ns>0</ns><id>1</id><revision><text xml:space="preserve">'''Кот''' — [[домашнее животное|домашний зверь]] из [[Кошачьи|семейства]].{{Нет АИ}}
== Поведение ==
* Кот ловит [[мышь|мышей]]&lt;ref&gt;Источник&lt;/ref&gt;.</text></revision></page>
<page><title>Википедия:Правила</title><ns>4</ns><id>2</id><revision><text>Служебная страница</text></revision></page>
<page><title>Котик</title><ns>0</ns><id>3</id><redirect title="Кот" /><revision><text>#перенаправление [[Кот]]</text></revision></page>
<page><title>Пёс</title><ns>0</ns><id>4</id><revision><text>Пёс лает.</text></revision></page>
</mediawiki>
)";

} // namespace

TEST(CorpusReader, DetectsTheEncodingOfPlainText)
{
    // The windows' detection, with UTF-7's mark, and with a sample that cuts its last
    // character in two still UTF-8.
    EXPECT_EQ(corpusTextEncoding("\xEF\xBB\xBFкот"), TextEncoding::UTF8);
    EXPECT_EQ(corpusTextEncoding("\xEA\xEE\xF2"), TextEncoding::ANSI);  // «кот» in 1251
    EXPECT_EQ(corpusTextEncoding("+/v8-"), TextEncoding::UTF7);
    EXPECT_EQ(corpusTextEncoding(QByteArrayView("кот", 5)), TextEncoding::UTF8);
    EXPECT_EQ(corpusTextEncoding(QByteArrayView("кот\xF0\x9F\x98", 9)), TextEncoding::UTF8);
    EXPECT_EQ(corpusTextEncoding("\xEA\xEE\xF2 кот"), TextEncoding::ANSI);
    EXPECT_EQ(corpusTextEncoding("cat"), TextEncoding::UTF8);

    QTemporaryDir dir;
    const QString utf16 = dir.filePath(u"utf16.txt"_s);
    QByteArray bytes("\xFF\xFE", 2);
    const QString text = u"Кот спал.\r\nПёс лаял."_s;
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(writeFile(utf16, bytes));
    QString error;
    EXPECT_EQ(read(utf16, &error), (Lines{"Кот спал.", "Пёс лаял."})) << error.toStdString();
    std::string ansi;
    ASSERT_TRUE(utf8ToCp1251("Ёжик в тумане\nи кот", &ansi));
    ASSERT_TRUE(writeFile(dir.filePath(u"ansi.txt"_s), QByteArray::fromStdString(ansi)));
    EXPECT_EQ(read(dir.filePath(u"ansi.txt"_s), &error), (Lines{"Ёжик в тумане", "и кот"}));
}

TEST(CorpusReader, UnpacksGzipBzip2AndXzStreamsAndNamesABrokenOne)
{
    QTemporaryDir dir;
    const QByteArray text = "Кот спал.\nПёс лаял.\n";
    ASSERT_TRUE(writeFile(dir.filePath(u"a.txt.gz"_s), gzipped(text)));
    // Concatenated streams, as parallel compressors and multistream dumps write them.
    ASSERT_TRUE(writeFile(dir.filePath(u"a.txt.bz2"_s),
                          bzipped("Кот спал.\n") + bzipped("Пёс лаял.\n")));
    ASSERT_TRUE(writeFile(dir.filePath(u"a.txt.xz"_s), xzipped(text)));
    QString error;
    for (const QString &name : {u"a.txt.gz"_s, u"a.txt.bz2"_s, u"a.txt.xz"_s})
        EXPECT_EQ(read(dir.filePath(name), &error), (Lines{"Кот спал.", "Пёс лаял."}))
            << name.toStdString() << ": " << error.toStdString();

    const QByteArray packed = gzipped(text);
    ASSERT_TRUE(writeFile(dir.filePath(u"cut.txt.gz"_s), packed.left(packed.size() - 6)));
    EXPECT_EQ(read(dir.filePath(u"cut.txt.gz"_s), &error).back(), "ERROR");
    EXPECT_TRUE(error.contains(u"cut.txt.gz: "_s)) << error.toStdString();
    ASSERT_TRUE(writeFile(dir.filePath(u"bad.txt.xz"_s), "not xz at all"));
    EXPECT_EQ(read(dir.filePath(u"bad.txt.xz"_s), &error), Lines{"ERROR"});
    EXPECT_TRUE(error.contains(u"bad.txt.xz: not a valid xz stream"_s)) << error.toStdString();
    ASSERT_TRUE(writeFile(dir.filePath(u"scan.pdf"_s), "%PDF-1.4"));
    EXPECT_EQ(read(dir.filePath(u"scan.pdf"_s), &error), Lines{"ERROR"});
    EXPECT_TRUE(error.contains(u"scan.pdf: not a text format"_s)) << error.toStdString();
}

TEST(CorpusReader, ReadsFb2BooksPlainAndZippedAndNamesABrokenOne)
{
    QTemporaryDir dir;
    std::string fb2;
    ASSERT_TRUE(utf8ToCp1251(Fb2, &fb2));
    const QByteArray book = QByteArray::fromStdString(fb2);
    ASSERT_TRUE(writeFile(dir.filePath(u"book.fb2"_s), book));
    ASSERT_TRUE(writeZip(dir.filePath(u"book.fb2.zip"_s), {{"book.fb2", book}}));
    // The description and the binaries are no text of the book; verse lines stand alone.
    const Lines expected{"Глава первая", "Кот спал на печи.", "Белый снег", "лежит в полях"};
    QString error;
    EXPECT_EQ(read(dir.filePath(u"book.fb2"_s), &error), expected) << error.toStdString();
    EXPECT_EQ(read(dir.filePath(u"book.fb2.zip"_s), &error), expected) << error.toStdString();

    ASSERT_TRUE(writeFile(dir.filePath(u"cut.fb2"_s), book.left(book.size() / 2)));
    EXPECT_EQ(read(dir.filePath(u"cut.fb2"_s), &error), Lines{"ERROR"});
    EXPECT_TRUE(error.contains(u"cut.fb2: not a well-formed FB2 book"_s)) << error.toStdString();
    ASSERT_TRUE(writeFile(dir.filePath(u"cut.fb2.zip"_s), "PK\x03\x04 and nothing more"));
    EXPECT_EQ(read(dir.filePath(u"cut.fb2.zip"_s), &error), Lines{"ERROR"});
    EXPECT_TRUE(error.contains(u"cut.fb2.zip: not a readable zip archive"_s))
        << error.toStdString();
}

TEST(CorpusReader, ReadsTheChaptersOfAnEpubBook)
{
    QTemporaryDir dir;
    const QByteArray chapter = R"(<?xml version="1.0" encoding="utf-8"?>
<html xmlns="http://www.w3.org/1999/xhtml"><head><title>Заголовок окна</title>
<style>p { margin: 0 }</style></head>
<body><h1>Глава 1</h1><p>Кот <i>спал</i>.</p><p>Пёс лаял.</p></body></html>)";
    ASSERT_TRUE(writeZip(dir.filePath(u"book.epub"_s),
                         {{"mimetype", "application/epub+zip"},
                          {"META-INF/container.xml", "<container/>"},
                          {"OEBPS/content.opf", "<package/>"},
                          {"OEBPS/nav.xhtml", "<html><body><p>Оглавление</p></body></html>"},
                          {"OEBPS/images/cover.jpg", "\xFF\xD8\xFF"},
                          {"OEBPS/ch1.xhtml", chapter}}));
    QString error;
    EXPECT_EQ(read(dir.filePath(u"book.epub"_s), &error),
              (Lines{"Глава 1", "Кот спал .", "Пёс лаял."}))
        << error.toStdString();
}

TEST(CorpusReader, StreamsTheArticlesOfAWikipediaDump)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ruwiki-pages-articles1.xml.bz2"_s);
    const QByteArray dump(WikiDump);
    const qsizetype half = dump.indexOf("<page><title>Пёс");
    ASSERT_TRUE(writeFile(path, bzipped(dump.left(half)) + bzipped(dump.mid(half))));
    QString error;
    // Only articles: no project pages, no redirects.
    EXPECT_EQ(read(path, &error),
              (Lines{"Кот — домашний зверь из семейства.", "Поведение", "Кот ловит мышей.",
                     "Пёс лает."}))
        << error.toStdString();
    // A dump cut short gives its whole pages and names the break.
    ASSERT_TRUE(writeFile(path, bzipped(dump.left(half + 20))));
    const Lines cut = read(path, &error);
    EXPECT_EQ(cut.size(), 4u);
    EXPECT_EQ(cut.back(), "ERROR");
    EXPECT_TRUE(error.contains(u"ruwiki-pages-articles1.xml.bz2: "_s)) << error.toStdString();
}

TEST(WikiParagraphs, KeepsTheProseAndLinkTextsOfMarkup)
{
    const char markup[] = R"({{Карточка|имя=Кот|вес={{число|4|кг}}}}
'''Кот''' (''лат.'' Felis) — [[Млекопитающие|млекопитающее]]<ref name="a">Книга</ref> [[семейство]]<ref name="b"/>.
<!-- скрытый текст -->
[[Файл:Cat.jpg|мини|Кот на [[диван]]е]]
{| class="wikitable"
|-
| ячейка || таблица
|}
=== Породы ===
# Сиамская&nbsp;кошка, см. [[Сиам#История|]] и [[Сиам#История]]
: Ссылка [https://example.org сайт породы] и [https://example.org]
<math>x^2</math>Конец.__NOTOC__
[[Категория:Кошки]]
[[en:Cat]]
)";
    EXPECT_EQ(wikiParagraphs(markup),
              (Lines{"Кот (лат. Felis) — млекопитающее семейство.", "Породы",
                     "Сиамская кошка, см. Сиам и Сиам", "Ссылка сайт породы и", "Конец."}));
    // Unclosed markup loses only the rest of its own page.
    EXPECT_EQ(wikiParagraphs("Начало {{шаблон без конца\nтекст"), Lines{"Начало"});
    EXPECT_EQ(wikiParagraphs("a < b и [[ссылка"), Lines{"a < b и ссылка"});
}
