// Draws the program's pictures at build time: the splash pictures StartE.jpg and StartC.jpg,
// the tileable backgrounds PIC/BK_1.jpg and PIC/BK_2.jpg, and the desktop icon.
//
//   makeart --product NAME --out FOLDER [--background] [--icons FOLDER]

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Radio waves leaving an antenna: the mark of the splash and of the icon.
void drawMark(QPainter& p, QPointF base, double size, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, size * 0.07, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    const QPointF tip = base - QPointF(0, size * 0.55);
    p.drawLine(base, tip);
    p.setBrush(colour);
    p.drawEllipse(tip, size * 0.06, size * 0.06);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const double r = size * 0.16 * i;
        const QRectF box(tip.x() - r, tip.y() - r, 2 * r, 2 * r);
        p.drawArc(box, -40 * 16, 80 * 16);
        p.drawArc(box, 140 * 16, 80 * 16);
    }
    p.restore();
}

QImage splash(const QString& product, const QString& line, const QString& version) {
    QImage img(480, 300, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, img.height());
    sky.setColorAt(0, QColor(18, 42, 78));
    sky.setColorAt(1, QColor(40, 92, 140));
    p.fillRect(img.rect(), sky);
    // A faint band of waves along the bottom.
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.5));
    for (int k = 0; k < 6; ++k) {
        QPainterPath wave;
        const double y0 = 230 + k * 11;
        wave.moveTo(0, y0);
        for (int x = 0; x <= img.width(); x += 4)
            wave.lineTo(x, y0 + 6 * std::sin((x + k * 37) / 38.0));
        p.drawPath(wave);
    }
    drawMark(p, QPointF(86, 170), 120, QColor(120, 210, 255));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(160, 70, 310, 60), Qt::AlignLeft | Qt::AlignVCenter, product);

    QFont text(QStringLiteral("WenQuanYi Micro Hei"));
    text.setPixelSize(19);
    p.setFont(text);
    p.setPen(QColor(205, 228, 250));
    p.drawText(QRectF(162, 130, 310, 30), Qt::AlignLeft | Qt::AlignVCenter, line);
    text.setPixelSize(14);
    p.setFont(text);
    p.setPen(QColor(160, 195, 230));
    p.drawText(QRectF(162, 162, 310, 24), Qt::AlignLeft | Qt::AlignVCenter, version);
    return img;
}

// A quiet texture that repeats every `period` pixels, with a one-pixel border that repeats
// the opposite edge, so that the window's tiling (which skips the border) joins seamlessly.
QImage background(const QColor& base, int period, unsigned seed) {
    QImage img(period + 2, period + 2, QImage::Format_RGB32);
    std::vector<double> noise(size_t(period * period));
    for (double& n : noise) {
        seed = seed * 1103515245u + 12345u;
        n = ((seed >> 16) & 0x7fff) / 32767.0 - 0.5;
    }
    const double tau = 2 * M_PI / period;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const int px = (x - 1 + period) % period;
            const int py = (y - 1 + period) % period;
            const double wave = std::sin(tau * px) * std::cos(tau * py);
            const double d = wave * 3 + noise[size_t(py * period + px)] * 3;
            img.setPixel(x, y,
                         qRgb(qBound(0, int(base.red() + d), 255),
                              qBound(0, int(base.green() + d), 255),
                              qBound(0, int(base.blue() + d), 255)));
        }
    }
    return img;
}

// The icon is drawn on a 64-unit square and scaled, so every size is drawn sharp. The older
// radio's program has a green tile, so that a task switcher tells the two programs apart.
QImage icon(int size, const QString& product) {
    const bool older = product.compare(QLatin1String("SOLVIR"), Qt::CaseInsensitive) == 0;
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, older ? QColor(24, 84, 58) : QColor(30, 64, 110));
    g.setColorAt(1, older ? QColor(40, 140, 96) : QColor(50, 110, 165));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    drawMark(p, QPointF(32, 54), 62, older ? QColor(170, 250, 200) : QColor(150, 220, 255));
    return img;
}

bool save(const QImage& img, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool ok = img.save(path, nullptr, 92);
    if (!ok) std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("product"), QStringLiteral("Product name."), QStringLiteral("NAME")});
    parser.addOption(
        {QStringLiteral("version"), QStringLiteral("Version text."), QStringLiteral("VERSION")});
    parser.addOption(
        {QStringLiteral("out"), QStringLiteral("Output folder."), QStringLiteral("FOLDER")});
    parser.addOption({QStringLiteral("background"), QStringLiteral("Also the backgrounds.")});
    parser.addOption({QStringLiteral("icons"),
                      QStringLiteral("Desktop icons: FOLDER/<size>x<size>/apps/<product>.png, "
                                     "in the sizes of the icon theme."),
                      QStringLiteral("FOLDER")});
    parser.process(app);
    const QString product = parser.value(QStringLiteral("product"));
    const QString version = parser.value(QStringLiteral("version"));
    const QDir out(parser.value(QStringLiteral("out")));
    if (product.isEmpty() || !parser.isSet(QStringLiteral("out"))) {
        std::fprintf(stderr, "usage: makeart --product NAME --out FOLDER [--background]\n");
        return 1;
    }
    bool ok = save(splash(product, QStringLiteral("Radio Programming Software"),
                          QStringLiteral("Version ") + version),
                   out.filePath(QStringLiteral("StartE.jpg")));
    ok = save(splash(product, QString::fromUtf8("对讲机写频软件"),
                     QString::fromUtf8("版本 ") + version),
              out.filePath(QStringLiteral("StartC.jpg"))) &&
         ok;
    if (parser.isSet(QStringLiteral("background"))) {
        ok = save(background(QColor(214, 222, 232), 96, 7u),
                  out.filePath(QStringLiteral("PIC/BK_1.jpg"))) &&
             ok;
        ok = save(background(QColor(226, 220, 208), 96, 11u),
                  out.filePath(QStringLiteral("PIC/BK_2.jpg"))) &&
             ok;
    }
    if (parser.isSet(QStringLiteral("icons"))) {
        const QDir icons(parser.value(QStringLiteral("icons")));
        for (const int size : {48, 64, 128, 256}) {
            const QString file =
                QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(product.toLower());
            ok = save(icon(size, product), icons.filePath(file)) && ok;
        }
    }
    return ok ? 0 : 1;
}
