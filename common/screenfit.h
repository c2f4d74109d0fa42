#pragma once

#include <QRect>

class QWidget;

/// wanted moved, and shrunk where it is larger, so that it lies wholly inside available;
/// a part that already fits keeps its place.
QRect fitInside(const QRect &wanted, const QRect &available);
/// Moves and, if need be, shrinks a top-level window so that its frame lies wholly in the
/// available area of the screen it belongs to (the one under its centre). Windows call it
/// once they have placed themselves.
void keepOnScreen(QWidget *window);
