#include "common/findreplacedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindReplaceDialog::FindReplaceDialog(Mode mode, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(mode == Mode::Find ? QStringLiteral("Найти") : QStringLiteral("Замена"));
    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *form = new QFormLayout;
    m_text = new QLineEdit(this);
    form->addRow(QStringLiteral("Что:"), m_text);
    if (mode == Mode::Replace) {
        m_replacement = new QLineEdit(this);
        form->addRow(QStringLiteral("Чем:"), m_replacement);
    }
    left->addLayout(form);

    auto *optionsRow = new QHBoxLayout;
    auto *checks = new QVBoxLayout;
    m_wholeWord = new QCheckBox(QStringLiteral("Только слово целиком"), this);
    m_matchCase = new QCheckBox(QStringLiteral("С учётом регистра"), this);
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    optionsRow->addLayout(checks);
    auto *direction = new QGroupBox(QStringLiteral("Направление"), this);
    auto *directionLayout = new QHBoxLayout(direction);
    m_up = new QRadioButton(QStringLiteral("Вверх"), direction);
    m_down = new QRadioButton(QStringLiteral("Вниз"), direction);
    m_down->setChecked(true);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    optionsRow->addWidget(direction);
    left->addLayout(optionsRow);
    outer->addLayout(left);

    auto *buttons = new QVBoxLayout;
    m_findNext = new QPushButton(QStringLiteral("Найти далее"), this);
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    QList<QPushButton *> actions{m_findNext};
    connect(m_findNext, &QPushButton::clicked, this, [this] { emit findNext(options()); });
    if (mode == Mode::Replace) {
        auto *once = new QPushButton(QStringLiteral("Заменить"), this);
        auto *all = new QPushButton(QStringLiteral("Заменить все"), this);
        buttons->addWidget(once);
        buttons->addWidget(all);
        actions << once << all;
        connect(once, &QPushButton::clicked, this, [this] { emit replaceOnce(options()); });
        connect(all, &QPushButton::clicked, this, [this] { emit replaceAll(options()); });
    }
    auto *cancel = new QPushButton(QStringLiteral("Отмена"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();
    outer->addLayout(buttons);

    // The search text is never empty: the dialog offers no search without one.
    const auto updateButtons = [this, actions] {
        for (QPushButton *b : actions)
            b->setEnabled(!m_text->text().isEmpty());
    };
    connect(m_text, &QLineEdit::textChanged, this, updateButtons);
    updateButtons();
}

FindOptions FindReplaceDialog::options() const
{
    FindOptions o;
    o.text = m_text->text();
    if (m_replacement)
        o.replacement = m_replacement->text();
    o.down = m_down->isChecked();
    o.matchCase = m_matchCase->isChecked();
    o.wholeWord = m_wholeWord->isChecked();
    return o;
}

void FindReplaceDialog::setSearchText(const QString &text)
{
    m_text->setText(text);
}
