#pragma once

#include <QDialog>

class DictionaryBuildJob;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

/// "Создать словарь из своих текстов": the texts and the output file, the build's stage
/// and tokens, "Отмена"; binds a DictionaryBuildJob. builtPath() is the new dictionary
/// when the user chose to use it.
class DictionaryBuildDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit DictionaryBuildDialog(QWidget *parent = nullptr);
    ~DictionaryBuildDialog() override;

    DictionaryBuildJob &job() { return *m_job; }
    void addSources(const QStringList &paths);
    QString builtPath() const { return m_builtPath; }

    QListWidget *Sources;
    QPushButton *AddFiles;
    QPushButton *AddFolder;
    QPushButton *RemoveSource;
    QLineEdit *OutPath;
    QPushButton *ChooseOut;
    QLabel *Stage;
    QProgressBar *Progress;
    QPlainTextEdit *Skipped;
    QPushButton *Build;
    QPushButton *Cancel;

public slots:
    void reject() override;  // while building: cancels instead of closing

private:
    void addFilesClick();
    void addFolderClick();
    void chooseOutClick();
    void buildClick();
    void showProgress();
    void buildFinished(bool succeeded);
    void setBuilding(bool building);

    DictionaryBuildJob *m_job;
    QString m_builtPath;
};
