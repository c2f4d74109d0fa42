#include "compare/boxframe.h"

#include <QLabel>
#include <QVBoxLayout>

BoxFrame::BoxFrame(const QString &title, QWidget *inside, QWidget *parent)
    : QFrame(parent)
{
    m_caption = new QLabel(this);
    // Ignored: the caption's text must not decide the column's width.
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 0, 1, 1);
    layout->setSpacing(1);
    layout->addWidget(m_caption);
    layout->addWidget(inside, 1);
    inside->setMinimumWidth(40);
    setTitle(title);
}

void BoxFrame::setTitle(const QString &title)
{
    if (m_title == title && !m_caption->text().isEmpty())
        return;
    m_title = title;
    m_caption->setToolTip(title);
    showTitle();
}

QString BoxFrame::shownTitle() const
{
    return m_caption->text();
}

void BoxFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    showTitle();
}

void BoxFrame::showTitle()
{
    const int room = std::max(width() - 4, 10);
    m_caption->setText(m_caption->fontMetrics().elidedText(m_title, Qt::ElideRight, room));
}
