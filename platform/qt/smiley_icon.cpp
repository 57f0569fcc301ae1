#include "platform/qt/smiley_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velkorn::qt {

QIcon smileyIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x5a, 0x3d, 0x00), 1.5));
  painter.setBrush(QColor(0xff, 0xd8, 0x2a));
  painter.drawEllipse(QRectF(1.5, 1.5, 29, 29));

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x3a, 0x26, 0x00));
  painter.drawEllipse(QRectF(10, 9, 4, 6));
  painter.drawEllipse(QRectF(18, 9, 4, 6));

  QPainterPath smile;
  smile.moveTo(8.5, 18);
  smile.cubicTo(11, 25.5, 21, 25.5, 23.5, 18);
  painter.setPen(QPen(QColor(0x3a, 0x26, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(smile);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace velkorn::qt
