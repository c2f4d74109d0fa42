#pragma once

#include "common/findreplace.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

/// The find dialog, or with a replacement field the replace dialog. Modeless: it
/// asks its window to act through the signals; the walks live in findreplace.h.
class FindReplaceDialog final : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Find, Replace };
    explicit FindReplaceDialog(Mode mode, QWidget *parent = nullptr);
    FindOptions options() const;
    void setSearchText(const QString &text);

signals:
    void findNext(const FindOptions &options);
    void replaceOnce(const FindOptions &options);
    void replaceAll(const FindOptions &options);

private:
    QLineEdit *m_text;
    QLineEdit *m_replacement = nullptr;
    QRadioButton *m_up;
    QRadioButton *m_down;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QPushButton *m_findNext;
};
