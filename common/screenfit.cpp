#include "common/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect fitInside(const QRect &wanted, const QRect &available)
{
    const int width = std::min(wanted.width(), available.width());
    const int height = std::min(wanted.height(), available.height());
    const int left = std::clamp(wanted.left(), available.left(), available.right() + 1 - width);
    const int top = std::clamp(wanted.top(), available.top(), available.bottom() + 1 - height);
    return QRect(left, top, width, height);
}

void keepOnScreen(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect fitted = fitInside(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    // The frame adds the title bar and borders to the window's own size.
    window->resize(window->size() - (frame.size() - fitted.size()));
    window->move(fitted.topLeft());
}
