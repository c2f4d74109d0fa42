#pragma once

#include <QFrame>

class QLabel;

/// A box's frame with its caption on top. Unlike a group box, the caption never widens
/// the frame: a caption too long for the column is cut with "…" and shown whole in the
/// tooltip, so ten columns fit a narrow screen whatever the counts and names.
class BoxFrame final : public QFrame
{
    Q_OBJECT
public:
    BoxFrame(const QString &title, QWidget *inside, QWidget *parent = nullptr);
    void setTitle(const QString &title);
    QString title() const { return m_title; }
    /// The caption as it shows now, cut to the frame's width.
    QString shownTitle() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showTitle();

    QString m_title;
    QLabel *m_caption;
};
