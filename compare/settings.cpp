#include "compare/settings.h"

#include "common/layeredsettings.h"
#include "common/suiteinfo.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace {

/// An option is off only when its value is a number equal to 0; missing or not a number is on.
bool readSwitch(const LayeredSettings &ini, const QString &key)
{
    bool isNumber = false;
    const int value = ini.value(key).toString().trimmed().toInt(&isNumber);
    return !isNumber || value != 0;
}

QString switchText(bool on)
{
    return on ? u"1"_s : u"0"_s;
}

} // namespace

QUrl ComparisonSettings::defaultServiceUrl()
{
    return QUrl(u"http://127.0.0.1:8731/words/initform.php"_s);
}

ComparisonSettings readComparisonSettings(const QString &path)
{
    return readComparisonSettings(settingsReadOrder(path));
}

ComparisonSettings readComparisonSettings(const QStringList &paths)
{
    ComparisonSettings settings;
    const LayeredSettings ini(paths);
    if (!ini.hasFile())
        return settings;

    bool isNumber = false;
    const int lists = ini.value(u"VIEW/LISTS"_s).toString().trimmed().toInt(&isNumber);
    settings.listCount = isNumber && lists >= 3 && lists <= 10 ? lists : 2;

    // A file without the section, such as one written by hand for the service alone,
    // leaves the options as they are without a file.
    if (ini.hasSection(u"AUTO_ACTIONS"_s)) {
        const auto on = [&ini](const char16_t *key) {
            return readSwitch(ini, u"AUTO_ACTIONS/"_s + QString::fromUtf16(key));
        };
        AutoActionOptions &o = settings.options;
        o.trim = on(u"TRIM");
        o.deleteEmptyLines = on(u"DELETE_EMPTY_LINES");
        o.changeCase = on(u"REGISTER");
        o.sort = on(u"SORT");
        o.deleteRepeatingLines = on(u"DELETE_REPEATING_LINES");
        o.compare = on(u"COMPARE");
        // A key that is on selects its choice; one that is off deselects only its own.
        const std::pair<const char16_t *, CaseChoice> cases[] = {
            {u"UPPERCASE", CaseChoice::Upper},
            {u"LOWERCASE", CaseChoice::Lower},
            {u"CAPITALIZE", CaseChoice::Capitalize}};
        for (const auto &[key, choice] : cases) {
            if (on(key))
                o.caseChoice = choice;
            else if (o.caseChoice == choice)
                o.caseChoice = CaseChoice::None;
        }
    }

    const QUrl url(ini.value(u"SERVICE/URL"_s).toString().trimmed());
    if (url.isValid() && !url.isRelative())
        settings.serviceUrl = url;
    return settings;
}

QString writeComparisonSettings(const QString &path, const ComparisonSettings &settings)
{
    QSettings ini(path, QSettings::IniFormat);
    ini.clear();
    ini.setValue(u"VIEW/LISTS"_s, QString::number(settings.listCount));
    const AutoActionOptions &o = settings.options;
    ini.beginGroup(u"AUTO_ACTIONS"_s);
    ini.setValue(u"TRIM"_s, switchText(o.trim));
    ini.setValue(u"DELETE_EMPTY_LINES"_s, switchText(o.deleteEmptyLines));
    ini.setValue(u"REGISTER"_s, switchText(o.changeCase));
    ini.setValue(u"SORT"_s, switchText(o.sort));
    ini.setValue(u"DELETE_REPEATING_LINES"_s, switchText(o.deleteRepeatingLines));
    ini.setValue(u"COMPARE"_s, switchText(o.compare));
    ini.setValue(u"UPPERCASE"_s, switchText(o.caseChoice == CaseChoice::Upper));
    ini.setValue(u"LOWERCASE"_s, switchText(o.caseChoice == CaseChoice::Lower));
    ini.setValue(u"CAPITALIZE"_s, switchText(o.caseChoice == CaseChoice::Capitalize));
    ini.endGroup();
    ini.setValue(u"SERVICE/URL"_s, settings.serviceUrl.toString());
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return u"Не удалось записать настройки в файл %1"_s.arg(path);
    return QString();
}

QString comparisonSettingsPath()
{
    return settingsFilePath(u"Cambrel.ini"_s);
}
