#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

/// Builds the default dictionary for this user with lexorum-build-dictionary, the script
/// an installed suite keeps beside its programs, and says in Russian what it is doing from
/// the lines the script writes for a program (--progress machine).
class DictionaryBuild final : public QObject
{
    Q_OBJECT
public:
    /// script builds into dataFolder (--data); the dictionary is dictionaryPath().
    DictionaryBuild(const QString &script, const QString &dataFolder, QObject *parent = nullptr);
    ~DictionaryBuild() override;

    /// The script beside the running program; it may be missing (the build tree has none).
    static QString installedScript();
    /// The script is there and may be run.
    bool isAvailable() const;
    QString dictionaryPath() const;
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // The window's texts: the offer at start, the outcome.
    QString offerText() const;
    QString builtText() const;
    static QString failedText(const QString &reason);

    /// Starts the script; the end comes as finished. Ignored while a build runs.
    void start();
    /// Stops a running build with everything it started; finished reports it.
    void cancel();

signals:
    /// What the build is doing now: «Загрузка текстов: пакет 3 из 40 (manpages-ru)».
    void progressChanged(const QString &caption);
    /// ok: the script succeeded and the dictionary is there; else message says why.
    void finished(bool ok, const QString &message);

private:
    void readLines(bool flush);
    void readLine(const QString &line);
    void end(int exitCode, QProcess::ExitStatus status);

    QString m_script;
    QString m_dataFolder;
    QProcess m_process;
    QByteArray m_pending;    // an unfinished last line
    QString m_stage;         // the dictionary build's stage, in Russian
    QString m_failure;       // why the script said it stopped, in Russian
    QString m_lastLine;      // the last line that was no progress, for a failure
};
