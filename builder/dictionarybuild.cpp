#include "builder/dictionarybuild.h"

#include "common/suiteinfo.h"

#include <QDir>
#include <QFileInfo>

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
    m_lastLine.clear();
    m_process.start(m_script, {u"--data"_s, m_dataFolder});
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
        if (line.isEmpty())
            continue;
        m_lastLine = line;
        emit lineWritten(line);
    }
}

void DictionaryBuild::end(int exitCode, QProcess::ExitStatus status)
{
    readLines(true);
    if (status == QProcess::NormalExit && exitCode == 0 && QFileInfo(dictionaryPath()).isFile()) {
        emit finished(true, QString());
        return;
    }
    const QString reason = !m_lastLine.isEmpty()
                               ? m_lastLine
                               : u"%1 завершился с кодом %2"_s.arg(m_script).arg(exitCode);
    emit finished(false, reason);
}
