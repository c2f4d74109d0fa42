#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>

/// The tools that the launcher starts, in the order of its buttons.
enum class SuiteTool { Pelmor, Cambrel, Orvella };

/// The launcher's rules: which file of the program directory each command opens,
/// the two web pages, and the update check. Starting and opening are the window's.
class LauncherModel final : public QObject
{
    Q_OBJECT
public:
    /// programDirectory holds the tools and their help documents; normally CurPath().
    explicit LauncherModel(const QString &programDirectory, QObject *parent = nullptr);

    QString programDirectory() const { return m_directory; }
    /// The tool's executable in the program directory, whether it exists or not.
    QString programFile(SuiteTool tool) const;
    /// The tool's help document in the suite's data folder (common/suiteinfo.h).
    QString helpFile(SuiteTool tool) const;
    /// The launcher's own help document.
    QString suiteHelpFile() const;

    /// The two web pages; while the suite has no site, the suite's help document.
    QUrl productPage() const;
    QUrl onlineHelp() const;

    /// Answers with updateCheckAnswered after the update-check delay; the suite asks
    /// no server. A request while one is pending is dropped, so one answer comes.
    void checkForUpdates();
    bool isCheckingForUpdates() const { return m_updateCheck.isActive(); }
    void setUpdateCheckDelay(std::chrono::milliseconds delay);

signals:
    void updateCheckAnswered(const QString &message);

private:
    QString besideTools(const QString &fileName) const;

    QString m_directory;
    QTimer m_updateCheck;
};
