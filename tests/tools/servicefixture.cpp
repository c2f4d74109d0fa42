#include "tests/tools/servicefixture.h"

#include <QFile>
#include <QStringList>

#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Lexemes in descending frequency; each lists its initial form first.
const QStringList Lexemes[] = {
    {u"в"_s},
    {u"стать"_s, u"стали"_s, u"стал"_s},
    {u"мыть"_s, u"мыла"_s, u"мыл"_s},
    {u"простой"_s, u"простая"_s, u"простого"_s},
    {u"пойти"_s, u"пошёл"_s, u"пошел"_s, u"пошла"_s},
    {u"кошка"_s, u"кошки"_s, u"кошек"_s},
    {u"купить"_s, u"купил"_s},
    {u"дешёвый"_s, u"дешёвые"_s, u"дешевые"_s, u"дешевый"_s},
    {u"билет"_s, u"билеты"_s},
    {u"Москва"_s, u"Москве"_s, u"Москвы"_s},
    {u"хороший"_s, u"хорошие"_s},
    {u"лучший"_s, u"лучших"_s},
    {u"сталь"_s, u"стали"_s},
    {u"мыло"_s, u"мыла"_s},
    {u"простой"_s, u"простоя"_s},
    {u"ёж"_s, u"ежа"_s, u"ежи"_s},
    {u"елка"_s, u"елки"_s},
    {u"кто-нибудь"_s, u"кого-нибудь"_s},
};

bool run(sqlite3 *db, const char *sql, QString *error)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

} // namespace

bool writeServiceDictionary(const QString &path, QString *error)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    bool ok = run(db,
                  "create table forms(id integer primary key, word text, initform_id "
                  "integer, "
                  "props text);"
                  "create table lexemes(id integer primary key, freq integer);"
                  "create table grams2(word1id integer, word2id integer, word1 text, "
                  "word2 text, freq integer);"
                  "create table grams3(word1id integer, word2id integer, word3id integer, "
                  "word1 text, word2 text, word3 text, freq integer);"
                  "begin;",
                  error);
    sqlite3_stmt *form = nullptr;
    sqlite3_stmt *lexeme = nullptr;
    ok = ok
         && sqlite3_prepare_v2(db, "insert into forms values(?, ?, ?, '')", -1, &form, nullptr)
                == SQLITE_OK
         && sqlite3_prepare_v2(db, "insert into lexemes values(?, ?)", -1, &lexeme, nullptr)
                == SQLITE_OK;
    int id = 1;
    int frequency = 1000;
    for (const QStringList &forms : Lexemes) {
        if (!ok)
            break;
        const int initial = id;
        sqlite3_bind_int(lexeme, 1, initial);
        sqlite3_bind_int(lexeme, 2, frequency--);
        ok = sqlite3_step(lexeme) == SQLITE_DONE;
        sqlite3_reset(lexeme);
        for (const QString &word : forms) {
            const QByteArray utf8 = word.toUtf8();
            sqlite3_bind_int(form, 1, id++);
            sqlite3_bind_text(form, 2, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(form, 3, initial);
            ok = ok && sqlite3_step(form) == SQLITE_DONE;
            sqlite3_reset(form);
        }
    }
    if (!ok && error->isEmpty())
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(form);
    sqlite3_finalize(lexeme);
    ok = ok && run(db, "commit;", error);
    sqlite3_close(db);
    return ok;
}

QString defaultDictionaryPath()
{
    return QStringLiteral(LEXORUM_SOURCE_DIR "/data/lexorum-ru.sqlite");
}

std::string formEncode(const std::string &bytes)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-'
            || u == '.' || u == '_' || u == '~') {
            out += c;
        } else {
            out += '%';
            out += Hex[u >> 4];
            out += Hex[u & 15];
        }
    }
    return out;
}
