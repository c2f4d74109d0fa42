#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

class QTimer;

/// Builds a dictionary from the user's own texts by running `lexorum-cli dict build
/// --progress machine` as a child process, so that Orvella holds none of the builder's
/// code, and follows its progress lines. A cancel asks the builder to stop (a "cancel"
/// line on its standard input), which leaves no file; a builder that does not stop in
/// time is killed and its temporary files beside the output are removed.
class DictionaryBuildJob final : public QObject
{
    Q_OBJECT
public:
    explicit DictionaryBuildJob(QObject *parent = nullptr);
    ~DictionaryBuildJob() override;  // a running build is cancelled and waited for

    /// The builder and the morphology; empty ones are looked up at start().
    QString program;
    QString morphologyDir;

    /// Starts building outPath from files and folders; false with errorText() when it
    /// cannot start (nothing to read, no output file, no builder, no morphology).
    bool start(const QStringList &sources, const QString &outPath);
    void cancel();
    bool isRunning() const;

    int stageNumber() const { return m_stage; }  // 0 before the first, 1 .. StageCount
    static constexpr int StageCount = 6;
    QString stageCaption() const;                // "Чтение текстов: 1 234 567 слов"
    qint64 tokens() const { return m_tokens; }
    /// "Пропущен файл PATH: why", one for each file the builder could not read.
    QStringList skippedFiles() const { return m_skipped; }
    QString outPath() const { return m_outPath; }
    QString errorText() const { return m_error; }  // why the last build did not succeed

    /// The Russian name of a build stage the builder calls key ("count", …, "index").
    static QString stageName(const QString &key);
    /// The builder's line for a file it skipped, said in Russian.
    static QString skippedCaption(const QString &message);

    /// lexorum-cli beside the running program.
    static QString defaultProgram();
    /// The dicts/ folder of the morphology that the default dictionary was built from:
    /// data/cache/az/package/dicts beside the dictionary, or in the user's data folder.
    static QString defaultMorphologyDir();

signals:
    void progressChanged();
    void fileSkipped(const QString &message);
    void finished(bool succeeded);

private:
    void readProgress();
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void removeLeftovers();
    QStringList leftovers() const;

    QProcess *m_process = nullptr;
    QTimer *m_killTimer = nullptr;
    QString m_outPath;
    QStringList m_leftoversBefore;
    QByteArray m_pending;
    int m_stage = 0;
    qint64 m_tokens = 0;
    QStringList m_skipped;
    QString m_error;
    QString m_lastErrorLine;
    bool m_done = false;
    bool m_cancelled = false;
};
