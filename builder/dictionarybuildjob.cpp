#include "builder/dictionarybuildjob.h"

#include "builder/settings.h"
#include "common/suiteinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// How long a builder asked to stop may take before it is killed: a cancel is checked
// every few thousand lines or rows, so this is far more than it needs.
constexpr int CancelGraceMs = 15000;

const char *const StageKeys[DictionaryBuildJob::StageCount] = {"count", "match", "choose",
                                                                "forms", "grams", "index"};

QString stageNameOf(int stage)
{
    switch (stage) {
    case 1: return u"Чтение текстов"_s;
    case 2: return u"Сопоставление слов с формами"_s;
    case 3: return u"Выбор лексем"_s;
    case 4: return u"Запись словоформ"_s;
    case 5: return u"Запись пар и троек слов"_s;
    case 6: return u"Построение индексов"_s;
    default: return u"Запуск"_s;
    }
}


} // namespace

DictionaryBuildJob::DictionaryBuildJob(QObject *parent)
    : QObject(parent)
{
}

DictionaryBuildJob::~DictionaryBuildJob()
{
    if (!isRunning())
        return;
    disconnect(m_process, nullptr, this, nullptr);
    m_process->write("cancel\n");
    if (!m_process->waitForFinished(CancelGraceMs)) {
        m_process->kill();
        m_process->waitForFinished(-1);
    }
    removeLeftovers();
}

QString DictionaryBuildJob::defaultProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(u"lexorum-cli"_s);
}

QString DictionaryBuildJob::defaultMorphologyDir()
{
    const QString inCache = u"cache/az/package/dicts"_s;
    QStringList roots;
    const QString dictionary = defaultDictionaryPath(CurPath());
    if (!dictionary.isEmpty())
        roots.append(QFileInfo(dictionary).absolutePath());
    roots.append(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                     .filePath(u"lexorum"_s));
    QStringList dirs;
    for (const QString &root : roots)
        dirs.append(QDir(root).filePath(inCache));
    // Where lexorum-build-dictionary keeps its downloads (~/.cache/lexorum).
    dirs.append(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                    .filePath(u"lexorum/az/package/dicts"_s));
    for (const QString &dir : dirs)
        if (QFileInfo(QDir(dir).filePath(u"words.dawg"_s)).isFile())
            return QDir::cleanPath(dir);
    return {};
}

bool DictionaryBuildJob::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool DictionaryBuildJob::start(const QStringList &sources, const QString &outPath)
{
    if (isRunning())
        return false;
    m_stage = 0;
    m_tokens = 0;
    m_skipped.clear();
    m_error.clear();
    m_lastErrorLine.clear();
    m_pending.clear();
    m_done = false;
    m_cancelled = false;
    m_outPath = outPath;
    const QString builder = program.isEmpty() ? defaultProgram() : program;
    const QString morphology = morphologyDir.isEmpty() ? defaultMorphologyDir() : morphologyDir;
    if (sources.isEmpty())
        m_error = u"Выберите файлы или папки с текстами."_s;
    else if (outPath.isEmpty())
        m_error = u"Укажите файл нового словаря."_s;
    else if (!QFileInfo(outPath).absoluteDir().exists())
        m_error = u"Нет папки %1."_s.arg(QDir::toNativeSeparators(QFileInfo(outPath).absolutePath()));
    else if (!QFileInfo(builder).isExecutable())
        m_error = u"Не найдена программа сборки словаря: %1."_s.arg(QDir::toNativeSeparators(builder));
    else if (morphology.isEmpty() || !QFileInfo(morphology).isDir())
        m_error = u"Не найдена морфология (папка dicts пакета az), из которой строится словарь."_s;
    if (!m_error.isEmpty())
        return false;

    QStringList args = {u"dict"_s,  u"build"_s,   u"--morph"_s,    morphology,
                        u"--out"_s, outPath,      u"--progress"_s, u"machine"_s};
    for (const QString &source : sources)
        args << u"--corpus"_s << source;
    m_leftoversBefore = leftovers();
    delete m_process;
    m_process = new QProcess(this);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &DictionaryBuildJob::readProgress);
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        const QList<QByteArray> lines = m_process->readAllStandardError().trimmed().split('\n');
        if (!lines.last().trimmed().isEmpty())
            m_lastErrorLine = QString::fromUtf8(lines.last().trimmed());
    });
    connect(m_process, &QProcess::finished, this, &DictionaryBuildJob::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        m_error = u"Не удалось запустить программу сборки словаря: %1."_s.arg(
            m_process->errorString());
        emit finished(false);
    });
    m_process->start(builder, args);
    return true;
}

void DictionaryBuildJob::cancel()
{
    if (!isRunning() || m_cancelled)
        return;
    m_cancelled = true;
    m_process->write("cancel\n");
    m_process->waitForBytesWritten(1000);
    if (!m_killTimer) {
        m_killTimer = new QTimer(this);
        m_killTimer->setSingleShot(true);
        connect(m_killTimer, &QTimer::timeout, this, [this] {
            if (isRunning())
                m_process->kill();
        });
    }
    m_killTimer->start(CancelGraceMs);
}

// The builder names a file it skips and says why in English: the reasons it gives are
// said here in Russian; a platform's message stays as it is.
QString DictionaryBuildJob::skippedCaption(const QString &message)
{
    static const QList<QPair<QString, QString>> Reasons = {
        {u"not a valid gzip stream"_s, u"сжатый файл (gzip) повреждён"_s},
        {u"not a valid bzip2 stream"_s, u"сжатый файл (bzip2) повреждён"_s},
        {u"not a valid xz stream"_s, u"сжатый файл (xz) повреждён"_s},
        {u"the compressed stream is cut short"_s, u"сжатый файл обрывается"_s},
        {u"not a text format the builder reads"_s, u"это не текст"_s},
        {u"not a well-formed FB2 book"_s, u"книга FB2 повреждена"_s},
        {u"not well-formed XML"_s, u"XML повреждён"_s},
        {u"not a readable zip archive"_s, u"архив zip повреждён"_s},
        {u"cannot be unpacked"_s, u"не распаковывается"_s}};
    QString caption = message;
    for (const auto &[english, russian] : Reasons) {
        const qsizetype at = caption.indexOf(u": "_s + english);
        if (at >= 0) {
            caption = caption.left(at + 2) + russian;
            break;
        }
    }
    return u"Пропущен файл "_s + caption;
}

QString DictionaryBuildJob::stageName(const QString &key)
{
    for (int k = 0; k < StageCount; ++k)
        if (key == QLatin1String(StageKeys[k]))
            return stageNameOf(k + 1);
    return QString();
}

QString DictionaryBuildJob::stageCaption() const
{
    QString caption = stageNameOf(m_stage);
    if (m_tokens > 0)
        caption += u", слов: %1"_s.arg(QLocale(QLocale::Russian).toString(m_tokens));
    return caption;
}

void DictionaryBuildJob::readProgress()
{
    m_pending += m_process->readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        const QString word = line.section(u' ', 0, 0);
        const QString rest = line.section(u' ', 1);
        if (word == u"stage") {
            for (int k = 0; k < StageCount; ++k)
                if (rest == QLatin1String(StageKeys[k]))
                    m_stage = k + 1;
            emit progressChanged();
        } else if (word == u"tokens") {
            m_tokens = rest.toLongLong();
            emit progressChanged();
        } else if (word == u"skipped") {
            m_skipped.append(skippedCaption(rest));
            emit fileSkipped(m_skipped.last());
        } else if (word == u"done") {
            m_done = true;
        }
    }
}

void DictionaryBuildJob::processFinished(int exitCode, QProcess::ExitStatus status)
{
    if (m_killTimer)
        m_killTimer->stop();
    readProgress();
    // A build that ended before the cancel reached it has written its whole file.
    const bool succeeded = status == QProcess::NormalExit && exitCode == 0 && m_done;
    if (!succeeded) {
        // A killed builder may leave its temporary files; the cancelled one does not.
        removeLeftovers();
        if (m_cancelled)
            m_error = u"Создание словаря отменено."_s;
        else
            m_error = u"Словарь не создан: %1"_s.arg(
                m_lastErrorLine.isEmpty() ? u"программа сборки завершилась с ошибкой."_s
                                          : m_lastErrorLine.remove(u"lexorum-cli: "_s));
    }
    emit finished(succeeded);
}

QStringList DictionaryBuildJob::leftovers() const
{
    const QFileInfo out(m_outPath);
    return out.absoluteDir().entryList({out.fileName() + u".*.part"_s,
                                        u"lexorum-counts-*.run"_s},
                                       QDir::Files);
}

void DictionaryBuildJob::removeLeftovers()
{
    const QDir dir = QFileInfo(m_outPath).absoluteDir();
    for (const QString &name : leftovers())
        if (!m_leftoversBefore.contains(name))
            QFile::remove(dir.filePath(name));
}
