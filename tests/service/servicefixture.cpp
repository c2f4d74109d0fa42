#include "tests/service/servicefixture.h"

#include "tests/builder/testdictionary.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

QString writeServiceDictionary(const QString &path)
{
    // Lexemes in descending frequency; each lists its initial form first.
    const QStringList lexemes[] = {
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
    TestDictionary dictionary;
    qint64 id = 1;
    for (const QStringList &forms : lexemes) {
        const qint64 initial = id;
        for (const QString &word : forms)
            dictionary.addForm(id++, word, initial, QString());
    }
    return dictionary.write(path);
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
