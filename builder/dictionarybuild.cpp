#include "builder/dictionarybuild.h"

#include "builder/dictionarybuildjob.h"
#include "common/suiteinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <csignal>

#include <sys/types.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

DictionaryBuild::DictionaryBuild(const QString &script, const QString &dataFolder,
                                 QObject *parent)
    : QObject(parent), m_script(script), m_dataFolder(dataFolder)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // The script's own group, so that stopping it stops its downloads and lexorum-cli too.
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { readLines(false); });
    connect(&m_process, &QProcess::finished, this, &DictionaryBuild::end);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished(false, m_process.errorString());
    });
}

DictionaryBuild::~DictionaryBuild()
{
    m_process.disconnect(this);
    cancel();
}

QString DictionaryBuild::installedScript()
{
    return besideExecutable(u"lexorum-build-dictionary"_s);
}

bool DictionaryBuild::isAvailable() const
{
    const QFileInfo script(m_script);
    return script.isFile() && script.isExecutable();
}

QString DictionaryBuild::dictionaryPath() const
{
    return m_dataFolder + u"/lexorum-ru.sqlite"_s;
}

QString DictionaryBuild::offerText() const
{
    return u"Словарь не найден. Построить словарь по умолчанию из открытых данных?\n\n"
           "Будет загружено около 420 МБ, построение займёт несколько минут. "
           "Словарь будет сохранён в файл %1."_s.arg(QDir::toNativeSeparators(dictionaryPath()));
}

QString DictionaryBuild::builtText() const
{
    return u"Словарь построен: %1"_s.arg(QDir::toNativeSeparators(dictionaryPath()));
}

QString DictionaryBuild::failedText(const QString &reason)
{
    return u"Не удалось построить словарь: %1"_s.arg(reason);
}

void DictionaryBuild::start()
{
    if (isRunning())
        return;
    m_pending.clear();
    m_stage.clear();
    m_failure.clear();
    m_lastLine.clear();
    m_process.start(m_script, {u"--data"_s, m_dataFolder, u"--progress"_s, u"machine"_s});
}

// lexorum-cli replaces a dictionary only once it is whole, so a stopped build leaves
// none half-written; what was downloaded stays in the cache for the next try.
void DictionaryBuild::cancel()
{
    if (!isRunning())
        return;
    ::kill(-pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(10000)) {
        ::kill(-pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }
}

void DictionaryBuild::readLines(bool flush)
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0 || (flush && !m_pending.isEmpty())) {
        if (end < 0)
            end = m_pending.size();
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty())
            readLine(line);
    }
}

void DictionaryBuild::readLine(const QString &line)
{
    const QStringList words = line.split(u' ');
    const QString &word = words.front();
    const QString rest = line.section(u' ', 1);
    if (word == u"download" && words.size() == 2) {
        emit progressChanged(u"Загрузка морфологии (%1)"_s.arg(rest));
    } else if ((word == u"download" || word == u"extract") && words.size() == 4) {
        emit progressChanged(u"%1: пакет %2 из %3 (%4)"_s
                                 .arg(word == u"download" ? u"Загрузка текстов"_s
                                                          : u"Извлечение текстов"_s,
                                      words[1], words[2], words[3]));
    } else if (word == u"build") {
        emit progressChanged(u"Построение словаря"_s);
    } else if (word == u"stage" && !DictionaryBuildJob::stageName(rest).isEmpty()) {
        m_stage = DictionaryBuildJob::stageName(rest);
        emit progressChanged(u"Построение словаря: %1"_s.arg(m_stage));
    } else if (word == u"tokens") {
        emit progressChanged(u"Построение словаря: %1, слов: %2"_s.arg(
            m_stage, QLocale(QLocale::Russian).toString(rest.toLongLong())));
    } else if (word == u"skipped") {
        emit progressChanged(DictionaryBuildJob::skippedCaption(rest));
    } else if (word == u"done") {
        emit progressChanged(u"Словарь готов"_s);
    } else if (word == u"failed") {
        const QString what = line.section(u' ', 2);
        const QString kind = words.value(1);
        if (kind == u"cli-missing")
            m_failure = u"не найдена программа lexorum-cli, которая ставится вместе с Orvella"_s;
        else if (kind == u"npm-missing")
            m_failure = u"для загрузки морфологии нужна программа npm; установите её командой "
                        "sudo apt-get install npm"_s;
        else if (kind == u"checksum")
            m_failure = u"файл %1 повреждён (не совпала контрольная сумма); удалите его, "
                        "чтобы загрузить заново"_s.arg(QDir::toNativeSeparators(what));
        else if (kind == u"download")
            m_failure = u"не удалось загрузить пакет %1; проверьте подключение к сети и "
                        "выполните sudo apt-get update"_s.arg(what);
        else
            m_lastLine = line;
    } else {
        m_lastLine = line;
    }
}

void DictionaryBuild::end(int exitCode, QProcess::ExitStatus status)
{
    readLines(true);
    if (status == QProcess::NormalExit && exitCode == 0 && QFileInfo(dictionaryPath()).isFile()) {
        emit finished(true, QString());
        return;
    }
    QString reason = m_failure;
    if (reason.isEmpty())
        reason = !m_lastLine.isEmpty()
                     ? m_lastLine.remove(u"lexorum-cli: "_s)
                     : u"%1 завершился с кодом %2"_s.arg(QDir::toNativeSeparators(m_script))
                           .arg(exitCode);
    emit finished(false, reason);
}
