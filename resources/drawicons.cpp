// Draws the client's icons as PNGs into the folder given (resources/icons):
//   drawicons resources/icons
// The images are committed; run this again after changing a drawing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

const QColor kBlue(QStringLiteral("#2174e5"));
const QColor kGrey(QStringLiteral("#666666"));
const QColor kLightGrey(QStringLiteral("#ccd0d5"));

bool draw(const QString &folder, const QString &name, QSize size,
    const std::function<void(QPainter &)> &paint)
{
    // Drawn at twice the size for high-DPI screens, then scaled down smoothly.
    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    paint(painter);
    painter.end();
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

QPen pen(const QColor &color, qreal width)
{
    QPen p(color, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = true;

    // The logo: a shield with a check, in the brand blue.
    ok &= draw(folder, QStringLiteral("logo"), {28, 28}, [](QPainter &p) {
        QPainterPath shield;
        shield.moveTo(14, 2);
        shield.lineTo(25, 6);
        shield.cubicTo(25, 16, 21, 22, 14, 26);
        shield.cubicTo(7, 22, 3, 16, 3, 6);
        shield.closeSubpath();
        p.fillPath(shield, kBlue);
        p.setPen(pen(Qt::white, 2.4));
        p.drawPolyline(QPolygonF({{9, 14}, {13, 18}, {20, 10}}));
    });
    // Tab icons, white on the dark title bar.
    ok &= draw(folder, QStringLiteral("reinforce"), {20, 20}, [](QPainter &p) {
        QPainterPath shield;
        shield.moveTo(10, 2);
        shield.lineTo(17, 5);
        shield.cubicTo(17, 12, 14, 16, 10, 18);
        shield.cubicTo(6, 16, 3, 12, 3, 5);
        shield.closeSubpath();
        p.setPen(pen(Qt::white, 1.6));
        p.drawPath(shield);
    });
    ok &= draw(folder, QStringLiteral("assistant"), {20, 20}, [](QPainter &p) {
        p.setPen(pen(Qt::white, 1.6));
        p.drawLine(QPointF(5, 15), QPointF(12, 8));
        p.drawEllipse(QPointF(13.5, 6.5), 3.5, 3.5);
        p.drawLine(QPointF(3.5, 16.5), QPointF(5, 15));
    });
    ok &= draw(folder, QStringLiteral("settings"), {20, 20}, [](QPainter &p) {
        p.setPen(pen(Qt::white, 1.6));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(10, 10);
            p.rotate(45.0 * i);
            p.drawLine(QPointF(0, -5.5), QPointF(0, -8));
            p.restore();
        }
        p.drawEllipse(QPointF(10, 10), 5, 5);
        p.drawEllipse(QPointF(10, 10), 2, 2);
    });
    // Window buttons.
    ok &= draw(folder, QStringLiteral("minimize"), {16, 16}, [](QPainter &p) {
        p.setPen(pen(Qt::white, 1.4));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
    });
    ok &= draw(folder, QStringLiteral("maximize"), {16, 16}, [](QPainter &p) {
        p.setPen(pen(Qt::white, 1.4));
        p.drawRect(QRectF(3, 3, 10, 10));
    });
    ok &= draw(folder, QStringLiteral("close"), {16, 16}, [](QPainter &p) {
        p.setPen(pen(Qt::white, 1.4));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
    // The folder button inside path editors.
    ok &= draw(folder, QStringLiteral("folder"), {20, 20}, [](QPainter &p) {
        QPainterPath body;
        body.moveTo(3, 5);
        body.lineTo(8, 5);
        body.lineTo(10, 7);
        body.lineTo(17, 7);
        body.lineTo(17, 15);
        body.lineTo(3, 15);
        body.closeSubpath();
        p.setPen(pen(kGrey, 1.3));
        p.drawPath(body);
        p.drawLine(QPointF(3, 9), QPointF(17, 9));
    });
    // The switch, 40 x 20.
    auto switcher = [](bool on) {
        return [on](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(on ? QColor(QStringLiteral("#0070cc")) : kLightGrey);
            p.drawRoundedRect(QRectF(1, 1, 38, 18), 9, 9);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(on ? 30 : 10, 10), 7, 7);
        };
    };
    ok &= draw(folder, QStringLiteral("switcher_on"), {40, 20}, switcher(true));
    ok &= draw(folder, QStringLiteral("switcher_off"), {40, 20}, switcher(false));
    ok &= draw(folder, QStringLiteral("arrowdown_normal"), {12, 12}, [](QPainter &p) {
        p.setPen(pen(kGrey, 1.4));
        p.drawPolyline(QPolygonF({{2.5, 4.5}, {6, 8}, {9.5, 4.5}}));
    });
    ok &= draw(folder, QStringLiteral("checkbox"), {12, 12}, [](QPainter &p) {
        p.setPen(pen(kBlue, 1.6));
        p.drawPolyline(QPolygonF({{2.5, 6}, {5, 8.5}, {9.5, 3.5}}));
    });
    return ok ? 0 : 1;
}
