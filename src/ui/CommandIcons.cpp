#include "ui/CommandIcons.h"

#include <QApplication>
#include <QCache>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QStyle>
#include <QStyleOption>
#include <QThreadPool>
#include <QtMath>

#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace tervane {
namespace {

// Every picture is drawn on a 32 x 32 canvas and scaled to the size asked for.
using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(0x4a, 0x55, 0x63);

QImage drawImage(const Drawing& draw, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    draw(p);
    p.end();
    return image;
}

// A picture being drawn on a worker thread, at the size the window asks for first.
struct AheadPicture {
    int side = 0;
    std::shared_future<QImage> image;
};

// Draws a picture at the size a view asks for, when it asks: the window does not pay at start for
// sizes it never shows. A picture drawn ahead is taken as it is.
class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing draw, std::shared_ptr<const AheadPicture> ahead = {})
        : m_draw(std::move(draw)), m_ahead(std::move(ahead)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * dpr, mode, state);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, pm);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        const quint64 key = (quint64(side) << 8) | quint64(mode);
        if (const QPixmap* cached = m_cache.object(key))
            return *cached;
        const bool drawnAhead = m_ahead && m_ahead->side == side;
        QPixmap pm = QPixmap::fromImage(drawnAhead ? m_ahead->image.get() : drawImage(m_draw, side));
        if (mode != QIcon::Normal && mode != QIcon::Active && QApplication::instance()) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        Q_UNUSED(state);
        m_cache.insert(key, new QPixmap(pm));
        return pm;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_draw, m_ahead); }
    QString key() const override { return QStringLiteral("tervane-drawn"); }

private:
    Drawing m_draw;
    std::shared_ptr<const AheadPicture> m_ahead;
    QCache<quint64, QPixmap> m_cache{64};
};

QIcon render(const Drawing& draw, std::shared_ptr<const AheadPicture> ahead = {}) {
    return QIcon(new DrawnIconEngine(draw, std::move(ahead)));
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A sheet of paper with its top right corner folded over.
void drawDocument(QPainter& p, const QRectF& r, const QColor& lineColor = QColor(0x8d, 0x9a, 0xab),
                  const QColor& paperBottom = QColor(0xe6, 0xeb, 0xf1)) {
    const qreal fold = r.width() * 0.32;
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(r.top(), r.bottom(), Qt::white, paperBottom));
    p.drawPath(page);

    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xd3, 0xda, 0xe3));
    p.drawPath(corner);

    p.setPen(QPen(lineColor, 1.2, Qt::SolidLine, Qt::RoundCap));
    const qreal left = r.left() + r.width() * 0.2;
    const qreal right = r.right() - r.width() * 0.2;
    for (qreal y = r.top() + fold + 2.5; y < r.bottom() - 2; y += 3.2)
        p.drawLine(QPointF(left, y), QPointF(right, y));
}

void drawFolder(QPainter& p, const QRectF& r, bool open) {
    const QColor edge(0xa8, 0x6f, 0x0c);
    p.setPen(QPen(edge, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // The back with its tab.
    QPainterPath back;
    const qreal tabW = r.width() * 0.4, tabH = r.height() * 0.14;
    back.moveTo(r.left(), r.top() + tabH);
    back.lineTo(r.left() + 1.5, r.top());
    back.lineTo(r.left() + tabW - 1.5, r.top());
    back.lineTo(r.left() + tabW, r.top() + tabH);
    back.lineTo(r.right(), r.top() + tabH);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0xf0, 0xb8, 0x3c), QColor(0xd0, 0x8a, 0x10)));
    p.drawPath(back);

    if (open) {
        // A paper sticking out, then the front flap swung forward.
        p.setPen(QPen(kOutline, 0.9));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + 3, r.top() + tabH + 1.5, r.width() - 7, r.height() * 0.5));
        QPainterPath front;
        const qreal top = r.top() + r.height() * 0.42;
        front.moveTo(r.left() + r.width() * 0.16, top);
        front.lineTo(r.right() + 1.5, top);
        front.lineTo(r.right() - r.width() * 0.1, r.bottom());
        front.lineTo(r.left(), r.bottom());
        front.closeSubpath();
        p.setPen(QPen(edge, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(top, r.bottom(), QColor(0xff, 0xe0, 0x7a), QColor(0xf4, 0xb4, 0x30)));
        p.drawPath(front);
    } else {
        const QRectF front(r.left(), r.top() + tabH * 2.2, r.width(), r.height() - tabH * 2.2);
        p.setBrush(vertical(front.top(), front.bottom(), QColor(0xff, 0xdc, 0x6e), QColor(0xf2, 0xae, 0x2a)));
        p.drawRoundedRect(front, 1.2, 1.2);
    }
}

// A touch-memory key in its plastic fob: a round steel button in a teardrop with a hole for the
// key ring. The tab points along angle (degrees, 0 = right, counter-clockwise on screen).
void drawFob(QPainter& p, const QPointF& c, qreal r, qreal angle, const QColor& plastic) {
    const qreal rad = qDegreesToRadians(angle);
    const QPointF dir(qCos(rad), -qSin(rad));
    const QPointF perp(-dir.y(), dir.x());
    const QPointF tip = c + dir * (r * 1.45);
    const qreal tipR = r * 0.5;

    // The outline is the hull of the button's circle and the tab's circle: their outer tangents.
    const qreal cosT = (r - tipR) / (r * 1.45), sinT = qSqrt(1 - cosT * cosT);
    const QPointF sideA = dir * cosT + perp * sinT;
    const QPointF sideB = dir * cosT - perp * sinT;
    QPainterPath body;
    body.addEllipse(c, r, r);
    QPainterPath tab;
    tab.addEllipse(tip, tipR, tipR);
    QPolygonF joint;
    joint << c + sideA * r << tip + sideA * tipR << tip + sideB * tipR << c + sideB * r;
    QPainterPath jointPath;
    jointPath.addPolygon(joint);
    body = body.united(tab).united(jointPath);
    QPainterPath hole;
    hole.addEllipse(tip, tipR * 0.45, tipR * 0.45);
    body = body.subtracted(hole).simplified();

    QLinearGradient shade(c - QPointF(r, r), c + QPointF(r, r));
    shade.setColorAt(0, plastic.lighter(135));
    shade.setColorAt(1, plastic.darker(125));
    p.setPen(QPen(plastic.darker(180), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(shade);
    p.drawPath(body);

    QRadialGradient steel(c - QPointF(r * 0.25, r * 0.25), r * 0.8);
    steel.setColorAt(0, QColor(0xfb, 0xfb, 0xfb));
    steel.setColorAt(0.6, QColor(0xc4, 0xca, 0xd1));
    steel.setColorAt(1, QColor(0x86, 0x8f, 0x9a));
    p.setPen(QPen(QColor(0x5d, 0x65, 0x70), 0.9));
    p.setBrush(steel);
    p.drawEllipse(c, r * 0.66, r * 0.66);
    p.setPen(QPen(QColor(0x9a, 0xa2, 0xad), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.42, r * 0.42);
}

const QColor kFobBlue(0x24, 0x64, 0xb4);

void drawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, qreal width) {
    const QLineF line(from, to);
    const QPointF unit = (to - from) / line.length();
    const QPointF perp(-unit.y(), unit.x());
    const qreal head = width * 2.2;
    const QPointF base = to - unit * head;
    p.setPen(QPen(color.darker(140), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    QPolygonF shape;
    shape << from + perp * (width / 2) << base + perp * (width / 2) << base + perp * head << to << base - perp * head
          << base - perp * (width / 2) << from - perp * (width / 2);
    p.drawPolygon(shape);
}

void drawMagnifier(QPainter& p, const QPointF& c, qreal r) {
    const QPointF handleFrom = c + QPointF(r, r) * 0.72;
    const QPointF handleTo = c + QPointF(r, r) * 1.55;
    p.setPen(QPen(QColor(0x3b, 0x2a, 0x1a), r * 0.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleFrom, handleTo);
    QRadialGradient glass(c - QPointF(r * 0.3, r * 0.3), r);
    glass.setColorAt(0, QColor(0xff, 0xff, 0xff, 230));
    glass.setColorAt(1, QColor(0x9c, 0xcf, 0xf2, 200));
    p.setPen(QPen(QColor(0x55, 0x5f, 0x6b), r * 0.24));
    p.setBrush(glass);
    p.drawEllipse(c, r, r);
}

void drawNew(QPainter& p) {
    drawDocument(p, QRectF(8, 4, 19, 25));
    // A star: something new.
    QPolygonF star;
    const QPointF c(9, 9);
    for (int i = 0; i < 16; ++i) {
        const qreal rad = qDegreesToRadians(i * 22.5);
        const qreal len = (i % 2 == 0) ? 7.0 : 3.0;
        star << c + QPointF(qCos(rad), qSin(rad)) * len;
    }
    p.setPen(QPen(QColor(0xc7, 0x8a, 0x00), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xd4, 0x2a));
    p.drawPolygon(star);
}

void drawSave(QPainter& p) {
    const QRectF body(4, 4, 24, 24);
    QPainterPath disk;
    disk.moveTo(body.left(), body.top());
    disk.lineTo(body.right() - 3, body.top());
    disk.lineTo(body.right(), body.top() + 3);
    disk.lineTo(body.right(), body.bottom());
    disk.lineTo(body.left(), body.bottom());
    disk.closeSubpath();
    p.setPen(QPen(QColor(0x13, 0x2e, 0x5a), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(body.top(), body.bottom(), QColor(0x3d, 0x79, 0xc9), QColor(0x1f, 0x4c, 0x93)));
    p.drawPath(disk);
    // The metal shutter with its window, then the label.
    p.setPen(QPen(QColor(0x60, 0x68, 0x72), 0.8));
    p.setBrush(vertical(4, 13, QColor(0xf0, 0xf2, 0xf5), QColor(0xb8, 0xc0, 0xca)));
    p.drawRect(QRectF(9, 4.5, 14, 8.5));
    p.setBrush(QColor(0x2a, 0x3a, 0x55));
    p.drawRect(QRectF(18, 6, 3, 5.5));
    p.setPen(QPen(QColor(0x9a, 0xa5, 0xb3), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(7.5, 16.5, 17, 11), 1, 1);
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc4), 1.0));
    p.drawLine(QPointF(10, 20), QPointF(22, 20));
    p.drawLine(QPointF(10, 23.5), QPointF(22, 23.5));
}

void drawClose(QPainter& p) {
    drawDocument(p, QRectF(5, 3, 19, 25));
    const QPointF c(22.5, 22.5);
    p.setPen(QPen(QColor(0x8f, 0x14, 0x14), 1.0));
    p.setBrush(vertical(16, 29, QColor(0xf0, 0x5a, 0x4a), QColor(0xc6, 0x22, 0x1a)));
    p.drawEllipse(c, 6.5, 6.5);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-2.8, -2.8), c + QPointF(2.8, 2.8));
    p.drawLine(c + QPointF(-2.8, 2.8), c + QPointF(2.8, -2.8));
}

void drawCut(QPainter& p) {
    // Two blades crossing at the pivot, two finger rings below.
    const QPointF pivot(16, 15);
    const QColor steelEdge(0x4c, 0x55, 0x60);
    p.setPen(QPen(steelEdge, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(2, 16, QColor(0xf4, 0xf6, 0xf8), QColor(0xa9, 0xb2, 0xbd)));
    QPolygonF left;
    left << QPointF(10.5, 2.5) << QPointF(12.2, 2.2) << QPointF(19.5, 20) << QPointF(17, 21);
    QPolygonF right;
    right << QPointF(21.5, 2.5) << QPointF(19.8, 2.2) << QPointF(12.5, 20) << QPointF(15, 21);
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setBrush(QColor(0x4c, 0x55, 0x60));
    p.drawEllipse(pivot, 1.3, 1.3);
    p.setPen(QPen(QColor(0xc0, 0x1f, 0x1f), 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10.5, 24.5), 4.2, 4.2);
    p.drawEllipse(QPointF(21.5, 24.5), 4.2, 4.2);
}

void drawCopy(QPainter& p) {
    drawDocument(p, QRectF(4, 3, 16, 21));
    drawDocument(p, QRectF(12, 9, 16, 21));
}

void drawPaste(QPainter& p) {
    const QRectF board(4, 5, 20, 24);
    p.setPen(QPen(QColor(0x6b, 0x42, 0x16), 1.1));
    p.setBrush(vertical(board.top(), board.bottom(), QColor(0xc9, 0x8b, 0x46), QColor(0x9a, 0x62, 0x26)));
    p.drawRoundedRect(board, 2, 2);
    p.setPen(QPen(QColor(0x55, 0x5c, 0x66), 0.9));
    p.setBrush(vertical(2, 8, QColor(0xee, 0xf0, 0xf3), QColor(0x9c, 0xa4, 0xae)));
    p.drawRoundedRect(QRectF(9, 2.5, 10, 5.5), 1.5, 1.5);
    drawDocument(p, QRectF(13, 11, 15, 19));
}

// A curved arrow over a page line, turning back (undo) or forward (redo, the mirror image).
void drawTurnArrow(QPainter& p, bool back) {
    p.save();
    if (!back) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    const QColor blue(0x1f, 0x5f, 0xb0);
    QPainterPath bow;
    bow.moveTo(9, 13);
    bow.cubicTo(16, 6.5, 27, 8, 27, 18);
    bow.cubicTo(27, 23, 23.5, 26.5, 18, 27);
    p.setPen(QPen(blue, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bow);
    QPolygonF head;
    head << QPointF(3, 16.5) << QPointF(7.5, 5.5) << QPointF(14.5, 15);
    p.setPen(QPen(blue, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(5, 17, QColor(0x5a, 0x9c, 0xe8), blue));
    p.drawPolygon(head);
    p.restore();
}

void drawFind(QPainter& p) {
    drawMagnifier(p, QPointF(13, 13), 8.5);
}

void drawFindNext(QPainter& p) {
    drawMagnifier(p, QPointF(11, 11), 7);
    drawArrow(p, QPointF(15, 25.5), QPointF(30, 25.5), QColor(0x2e, 0xa0, 0x3c), 3.4);
}

void drawReadKeys(QPainter& p) {
    drawFob(p, QPointF(11.5, 16), 7.5, 120, kFobBlue);
    // The code goes from the key into the base.
    drawArrow(p, QPointF(24, 9), QPointF(24, 30), QColor(0x2e, 0xa0, 0x3c), 3.6);
}

void drawWriteKeys(QPainter& p) {
    drawFob(p, QPointF(11.5, 17), 7.5, 120, kFobBlue);
    // A pencil writing onto the blank.
    p.save();
    p.translate(23, 14);
    p.rotate(40);
    p.setPen(QPen(QColor(0x7a, 0x4a, 0x08), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(-3, 3, QColor(0xff, 0xd0, 0x4a), QColor(0xe8, 0x9a, 0x10)));
    p.drawRect(QRectF(-10, -2.6, 15, 5.2));
    p.setBrush(QColor(0xe7, 0x7a, 0x8a));
    p.drawRoundedRect(QRectF(-13, -2.6, 3.4, 5.2), 1, 1);
    QPolygonF point;
    point << QPointF(5, -2.6) << QPointF(11, 0) << QPointF(5, 2.6);
    p.setBrush(QColor(0xf3, 0xd9, 0xb0));
    p.drawPolygon(point);
    p.setBrush(QColor(0x33, 0x33, 0x33));
    QPolygonF lead;
    lead << QPointF(9, -0.9) << QPointF(11, 0) << QPointF(9, 0.9);
    p.drawPolygon(lead);
    p.restore();
}

void drawLockKey(QPainter& p) {
    drawFob(p, QPointF(11.5, 15), 7.5, 120, kFobBlue);
    // A padlock: the key is closed for good.
    p.setPen(QPen(QColor(0x6f, 0x77, 0x82), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(19.5, 21);
    shackle.lineTo(19.5, 17.5);
    shackle.arcTo(QRectF(19.5, 13, 8, 9), 180, -180);
    shackle.lineTo(27.5, 21);
    p.drawPath(shackle);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1.0));
    p.setBrush(vertical(20, 30, QColor(0xff, 0xd5, 0x4f), QColor(0xd9, 0x9a, 0x0b)));
    p.drawRoundedRect(QRectF(16.5, 20, 14, 10), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x3a, 0x00));
    p.drawEllipse(QPointF(23.5, 24), 1.4, 1.4);
    p.drawRect(QRectF(23, 24, 1, 3.5));
}

void drawShortView(QPainter& p) {
    // A table whose empty rows are filtered out.
    const QRectF table(3, 4, 22, 22);
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(table);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5b, 0x86, 0xc0));
    p.drawRect(QRectF(table.left() + 0.5, table.top() + 0.5, table.width() - 1, 4));
    p.setPen(QPen(QColor(0xb6, 0xc0, 0xcc), 0.8));
    for (qreal y = 12.5; y < table.bottom(); y += 4.5)
        p.drawLine(QPointF(table.left(), y), QPointF(table.right(), y));
    p.drawLine(QPointF(10, 8.5), QPointF(10, table.bottom()));
    p.setPen(QPen(QColor(0x3a, 0x46, 0x55), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 10.5), QPointF(21, 10.5));
    p.drawLine(QPointF(12, 19.5), QPointF(19, 19.5));

    QPolygonF funnel;
    funnel << QPointF(16, 17) << QPointF(30, 17) << QPointF(24.8, 23.5) << QPointF(24.8, 30) << QPointF(21.2, 28)
           << QPointF(21.2, 23.5);
    p.setPen(QPen(QColor(0x1d, 0x5e, 0x23), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(17, 30, QColor(0x7a, 0xd0, 0x6e), QColor(0x2e, 0x93, 0x36)));
    p.drawPolygon(funnel);
}

void drawSelectedFile(QPainter& p) {
    drawDocument(p, QRectF(6, 3, 20, 26), QColor(0x2f, 0x6f, 0xc8), QColor(0xc9, 0xdd, 0xf6));
}

void drawApp(QPainter& p) {
    QLinearGradient tile(0, 1, 0, 31);
    tile.setColorAt(0, QColor(0x2b, 0x7d, 0xc8));
    tile.setColorAt(1, QColor(0x0f, 0x45, 0x80));
    p.setPen(QPen(QColor(0x0b, 0x34, 0x62), 1.0));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    drawFob(p, QPointF(13.5, 18.5), 8.5, 45, QColor(0xf3, 0x8b, 0x12));
}

Drawing commandDrawing(CommandIconId id) {
    switch (id) {
    case CommandIconId::New:
        return drawNew;
    case CommandIconId::Open:
        return [](QPainter& p) { drawFolder(p, QRectF(3, 6, 25, 21), true); };
    case CommandIconId::Save:
        return drawSave;
    case CommandIconId::Close:
        return drawClose;
    case CommandIconId::Cut:
        return drawCut;
    case CommandIconId::Copy:
        return drawCopy;
    case CommandIconId::Paste:
        return drawPaste;
    case CommandIconId::Undo:
        return [](QPainter& p) { drawTurnArrow(p, true); };
    case CommandIconId::Redo:
        return [](QPainter& p) { drawTurnArrow(p, false); };
    case CommandIconId::Find:
        return drawFind;
    case CommandIconId::FindNext:
        return drawFindNext;
    case CommandIconId::ReadKeys:
        return drawReadKeys;
    case CommandIconId::WriteKeys:
        return drawWriteKeys;
    case CommandIconId::LockKey:
        return drawLockKey;
    case CommandIconId::ShortView:
        return drawShortView;
    }
    return [](QPainter&) {};
}

Drawing treeDrawing(int imageIndex) {
    if (imageIndex == TreeFolderImage)
        return [](QPainter& p) { drawFolder(p, QRectF(2, 5, 28, 23), false); };
    if (imageIndex == TreeSelectedFileImage)
        return drawSelectedFile;
    return [](QPainter& p) { drawDocument(p, QRectF(6, 3, 20, 26)); };
}

constexpr int kCommandIconCount = int(CommandIconId::ShortView) + 1;

// The icons, made on the GUI thread only.
QHash<int, QIcon>& commandIcons() {
    static QHash<int, QIcon> icons;
    return icons;
}
QHash<int, QIcon>& treeIcons() {
    static QHash<int, QIcon> icons;
    return icons;
}

} // namespace

void drawIconsAhead(int commandSide, int treeSide) {
    struct Job {
        Drawing draw;
        std::promise<QImage> done;
        int side;
    };
    auto jobs = std::make_shared<std::vector<Job>>();
    jobs->reserve(kCommandIconCount + 3);
    const auto ahead = [&jobs](QHash<int, QIcon>& icons, int key, Drawing draw, int side) {
        if (icons.contains(key) || side <= 0)
            return;
        auto picture = std::make_shared<AheadPicture>();
        picture->side = side;
        jobs->push_back({draw, std::promise<QImage>(), side});
        picture->image = jobs->back().done.get_future().share();
        icons.insert(key, render(draw, std::move(picture)));
    };
    for (int id = 0; id < kCommandIconCount; ++id)
        ahead(commandIcons(), id, commandDrawing(CommandIconId(id)), commandSide);
    for (int index = TreeFolderImage; index <= TreeFileImage; ++index)
        ahead(treeIcons(), index, treeDrawing(index), treeSide);
    if (jobs->empty())
        return;
    // The drawings touch nothing but their own image.
    QThreadPool::globalInstance()->start([jobs] {
        for (Job& job : *jobs)
            job.done.set_value(drawImage(job.draw, job.side));
    });
}

QIcon commandIcon(CommandIconId id) {
    QHash<int, QIcon>& icons = commandIcons();
    auto it = icons.find(int(id));
    if (it == icons.end())
        it = icons.insert(int(id), render(commandDrawing(id)));
    return *it;
}

QIcon treeIcon(int imageIndex) {
    if (imageIndex < TreeFolderImage || imageIndex > TreeFileImage)
        return {};
    QHash<int, QIcon>& icons = treeIcons();
    auto it = icons.find(imageIndex);
    if (it == icons.end())
        it = icons.insert(imageIndex, render(treeDrawing(imageIndex)));
    return *it;
}

QIcon appIcon() {
    static const QIcon icon = render(drawApp);
    return icon;
}

} // namespace tervane
