#pragma once

class QPainter;
class QPalette;
class QRect;
class QString;

namespace orvex {

// What a view without a working OpenGL context shows: its plain window
// background with a short message in the middle. Draws with the painter
// alone, never with GL.
void PaintUnavailableView(QPainter& painter, const QRect& area, const QPalette& palette,
                          const QString& message);

} // namespace orvex
