// Draws every picture of the window: the background with its magenta field,
// the three-look strips of the buttons, the microphone button, the logo page
// and the notification-area images. Run at build time:
//   zel_artwork OUTPUT_FOLDER [--raw]
// Everything is drawn here with QPainter; change it and rebuild.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QVector>

#include <cmath>
#include <cstdio>

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kPanel(55, 63, 55);
const QColor kField(39, 46, 39);

// One palette of 256 colours for every 8-bit picture: magenta, the panel's
// colours, grey and green ramps, and the accents of the artwork.
QVector<QRgb> Palette() {
    QVector<QRgb> p;
    p << kMagenta.rgb() << kPanel.rgb() << kField.rgb() << qRgb(255, 255, 255);
    for (int i = 0; i < 64; ++i) {
        int v = i * 255 / 63;
        p << qRgb(v, v, v);
    }
    for (int i = 0; i < 64; ++i) {
        int v = i * 255 / 63;
        p << qRgb(v * 85 / 100, v, v * 85 / 100);
    }
    auto ramp = [&p](QColor c, int n) {
        for (int i = 0; i < n; ++i) {
            double f = 0.25 + 0.75 * i / (n - 1);
            p << qRgb(int(c.red() * f), int(c.green() * f), int(c.blue() * f));
        }
    };
    ramp(QColor(255, 190, 60), 30);   // amber
    ramp(QColor(255, 80, 60), 30);    // red
    ramp(QColor(140, 255, 90), 30);   // lime
    ramp(QColor(170, 190, 215), 30);  // steel
    while (p.size() < 256) p << qRgb(0, 0, 0);
    p.resize(256);
    return p;
}

QImage To8Bit(const QImage& image) {
    return image.convertToFormat(QImage::Format_Indexed8, Palette(), Qt::ThresholdDither | Qt::AvoidDither);
}

QFont UiFont(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Verdana"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Also written as raw pixels (--raw): the Windows window, which has no PNG
// reader of its own, embeds them. NAME.zrgb: "ZRGB", the width and the
// height as 32-bit little-endian numbers, then the rows from the top, each
// pixel as blue, green, red and a zero.
bool gRaw = false;

bool SaveRaw(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray bytes("ZRGB");
    for (quint32 v : {static_cast<quint32>(rgb.width()), static_cast<quint32>(rgb.height())})
        for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            bytes.append(static_cast<char>(qBlue(line[x])));
            bytes.append(static_cast<char>(qGreen(line[x])));
            bytes.append(static_cast<char>(qRed(line[x])));
            bytes.append('\0');
        }
    }
    return f.write(bytes) == bytes.size();
}

bool Save(const QImage& image, const QString& folder, const QString& name) {
    QString path = QDir(folder).filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "zel_artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    if (gRaw) {
        QString raw = path;
        raw.replace(QStringLiteral(".png"), QStringLiteral(".zrgb"));
        if (!SaveRaw(image, raw)) {
            std::fprintf(stderr, "zel_artwork: cannot write %s\n", qPrintable(raw));
            return false;
        }
    }
    return true;
}

void Rivet(QPainter& p, QPointF c) {
    QRadialGradient g(c + QPointF(-1, -1), 3.5);
    g.setColorAt(0, QColor(235, 240, 245));
    g.setColorAt(0.6, QColor(140, 150, 160));
    g.setColorAt(1, QColor(60, 64, 70));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 3.2, 3.2);
}

// 576 × 432: a dark panel with curved corners in a riveted metal frame, on a
// magenta field that the window cuts away.
QImage Background() {
    QImage img(576, 432, QImage::Format_RGB32);
    img.fill(kMagenta);
    QPainter p(&img);
    // Outline without smoothing, so that no pixel of the edge blends with the field.
    p.setRenderHint(QPainter::Antialiasing, false);
    QRectF outer(6, 6, 564, 420);
    QPainterPath frame;
    frame.addRoundedRect(outer, 34, 34);
    QLinearGradient metal(0, 6, 0, 426);
    metal.setColorAt(0, QColor(190, 198, 205));
    metal.setColorAt(0.08, QColor(120, 128, 136));
    metal.setColorAt(0.5, QColor(92, 98, 104));
    metal.setColorAt(0.92, QColor(70, 75, 80));
    metal.setColorAt(1, QColor(130, 136, 142));
    p.fillPath(frame, metal);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Brushed lines on the frame.
    p.setClipPath(frame);
    for (int y = 8; y < 426; y += 3) {
        p.setPen(QColor(255, 255, 255, 10 + (y * 7) % 12));
        p.drawLine(0, y, 576, y);
    }
    p.setClipping(false);
    // Bevel of the frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(215, 222, 228), 1.5));
    p.drawRoundedRect(outer.adjusted(2, 2, -2, -2), 32, 32);
    // The dark inner panel.
    QRectF inner(26, 28, 524, 378);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, 18, 18);
    p.fillPath(innerPath, QColor(30, 34, 30));
    p.fillPath(QPainterPath([&] {
                   QPainterPath q;
                   q.addRoundedRect(inner.adjusted(2, 2, -1, -1), 16, 16);
                   return q;
               }()),
               kPanel);
    p.setPen(QPen(QColor(150, 158, 165), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner.adjusted(-1, -1, 1, 1), 19, 19);
    // Rivets along the frame.
    for (int x = 60; x <= 516; x += 57) {
        if (x > 130 && x < 480) Rivet(p, QPointF(x, 16));  // the name and the two small buttons sit on the top band
        Rivet(p, QPointF(x, 417));
    }
    for (int y = 70; y <= 362; y += 58) {
        Rivet(p, QPointF(16, y));
        Rivet(p, QPointF(560, y));
    }
    // The name on the top band.
    p.setFont(UiFont(12, true));
    p.setPen(QColor(40, 44, 48));
    p.drawText(QRectF(43, 10, 200, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MORO Zel"));
    p.setPen(QColor(235, 240, 240));
    p.drawText(QRectF(42, 9, 200, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MORO Zel"));
    p.end();
    return To8Bit(img);
}

enum class Look { Normal, Hover, Pressed };

void ButtonFace(QPainter& p, QRect r, Look look, const QString& caption) {
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath body;
    body.addRoundedRect(QRectF(r).adjusted(0, 0, -1, -1), 8, 8);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    switch (look) {
    case Look::Normal:
        g.setColorAt(0, QColor(112, 124, 112));
        g.setColorAt(0.5, QColor(74, 84, 74));
        g.setColorAt(1, QColor(52, 60, 52));
        break;
    case Look::Hover:
        g.setColorAt(0, QColor(150, 176, 140));
        g.setColorAt(0.5, QColor(98, 120, 92));
        g.setColorAt(1, QColor(70, 88, 66));
        break;
    case Look::Pressed:
        g.setColorAt(0, QColor(34, 40, 34));
        g.setColorAt(0.5, QColor(50, 58, 50));
        g.setColorAt(1, QColor(72, 82, 72));
        break;
    }
    p.fillPath(body, g);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look == Look::Hover ? QColor(190, 255, 140) : QColor(150, 160, 150), 1));
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -2, -2), 7, 7);
    int shift = look == Look::Pressed ? 1 : 0;
    p.setFont(UiFont(13, true));
    p.setPen(QColor(20, 24, 20));
    p.drawText(QRectF(r).translated(1 + shift, 1 + shift), Qt::AlignCenter, caption);
    p.setPen(look == Look::Hover ? QColor(230, 255, 200) : QColor(255, 255, 255));
    p.drawText(QRectF(r).translated(shift, shift), Qt::AlignCenter, caption);
}

// Three looks side by side, each W × H: normal, mouse over, pressed.
QImage CaptionStrip(const QString& caption) {
    const int w = 140, h = 30;
    QImage img(3 * w, h, QImage::Format_RGB32);
    img.fill(kMagenta);
    QPainter p(&img);
    ButtonFace(p, QRect(0, 0, w, h), Look::Normal, caption);
    ButtonFace(p, QRect(w, 0, w, h), Look::Hover, caption);
    ButtonFace(p, QRect(2 * w, 0, w, h), Look::Pressed, caption);
    p.end();
    return To8Bit(img);
}

// The two small buttons of the top band, 16 × 14: a bar and an x.
QImage SmallStrip(bool cross) {
    const int w = 16, h = 14;
    QImage img(3 * w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int c = 0; c < 3; ++c) {
        QRect r(c * w, 0, w, h);
        QColor face = c == 0 ? QColor(80, 88, 80) : c == 1 ? QColor(110, 140, 100) : QColor(40, 46, 40);
        p.fillRect(r, face);
        p.setPen(QColor(170, 180, 170));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        QColor ink = c == 1 ? QColor(220, 255, 190) : QColor(240, 240, 240);
        p.setRenderHint(QPainter::Antialiasing, cross);
        p.setPen(QPen(ink, 2));
        int s = c == 2 ? 1 : 0;
        if (cross) {
            p.drawLine(r.left() + 5 + s, 4 + s, r.left() + 10 + s, 9 + s);
            p.drawLine(r.left() + 10 + s, 4 + s, r.left() + 5 + s, 9 + s);
        } else {
            p.fillRect(QRect(r.left() + 4 + s, 8 + s, 8, 2), ink);
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    p.end();
    return To8Bit(img);
}

void Microphone(QPainter& p, QPointF c, double scale, QColor body, QColor ring) {
    p.save();
    p.translate(c);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(-8, 0, 8, 0);
    g.setColorAt(0, body.darker(160));
    g.setColorAt(0.45, body.lighter(130));
    g.setColorAt(1, body.darker(170));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(-8, -22, 16, 28), 8, 8);
    p.setPen(QPen(QColor(20, 20, 20, 120), 1));
    for (int y = -16; y <= 0; y += 4) p.drawLine(QPointF(-6, y), QPointF(6, y));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(-13, -12, 26, 24), 200 * 16, 140 * 16);
    p.drawLine(QPointF(0, 12), QPointF(0, 19));
    p.drawLine(QPointF(-8, 20), QPointF(8, 20));
    p.restore();
}

// btnReconhecer, 172 × 76, 24 bits: the microphone and its caption,
// RECONHECER while off and PARAR while on (what the next click does).
QImage ReconhecerStrip(const QString& caption) {
    const int w = 172, h = 76;
    QImage img(3 * w, h, QImage::Format_RGB888);
    img.fill(kMagenta);
    QPainter p(&img);
    for (int c = 0; c < 3; ++c) {
        QRect r(c * w, 0, w, h);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPainterPath body;
        body.addRoundedRect(QRectF(r).adjusted(0, 0, -1, -1), 16, 16);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        if (c == 0) {
            g.setColorAt(0, QColor(120, 132, 120));
            g.setColorAt(0.5, QColor(70, 80, 70));
            g.setColorAt(1, QColor(46, 52, 46));
        } else if (c == 1) {
            g.setColorAt(0, QColor(160, 186, 150));
            g.setColorAt(0.5, QColor(96, 118, 90));
            g.setColorAt(1, QColor(60, 76, 56));
        } else {
            g.setColorAt(0, QColor(30, 60, 26));
            g.setColorAt(0.5, QColor(50, 110, 40));
            g.setColorAt(1, QColor(90, 170, 70));
        }
        p.fillPath(body, g);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c == 2 ? QColor(190, 255, 140) : QColor(170, 180, 170), 2));
        p.drawRoundedRect(QRectF(r).adjusted(2, 2, -3, -3), 14, 14);
        int s = c == 2 ? 1 : 0;
        QColor micBody = c == 2 ? QColor(255, 90, 70) : QColor(200, 205, 210);
        QColor ring = c == 2 ? QColor(255, 220, 120) : QColor(235, 235, 235);
        Microphone(p, QPointF(r.left() + 34 + s, 40 + s), 1.25, micBody, ring);
        p.setFont(UiFont(12, true));
        p.setPen(QColor(15, 18, 15));
        p.drawText(QRectF(r.left() + 58 + s + 1, s + 1, 108, h), Qt::AlignCenter, caption);
        p.setPen(c == 2 ? QColor(255, 240, 180) : QColor(255, 255, 255));
        p.drawText(QRectF(r.left() + 58 + s, s, 108, h), Qt::AlignCenter, caption);
    }
    p.end();
    return img;
}

// The "apres" page: the product's logo filling the page.
QImage Logo(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kPanel);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient glow(w / 2.0, h / 2.0 - 20, w / 2.0);
    glow.setColorAt(0, QColor(80, 100, 76));
    glow.setColorAt(1, kPanel);
    p.fillRect(img.rect(), glow);
    // A sound wave on both sides of the microphone.
    p.setPen(QPen(QColor(140, 255, 90), 3, Qt::SolidLine, Qt::RoundCap));
    for (int k = 1; k <= 3; ++k) {
        double rr = 26.0 + k * 16;
        QRectF arc(w / 2.0 - rr, 120 - rr, 2 * rr, 2 * rr);
        p.drawArc(arc, -40 * 16, 80 * 16);
        p.drawArc(arc, 140 * 16, 80 * 16);
    }
    Microphone(p, QPointF(w / 2.0, 124), 2.6, QColor(200, 205, 210), QColor(235, 235, 235));
    p.setFont(UiFont(54, true));
    p.setPen(QColor(15, 18, 15));
    p.drawText(QRectF(3, 203, w, 70), Qt::AlignCenter, QStringLiteral("MORO Zel"));
    p.setPen(QColor(245, 250, 240));
    p.drawText(QRectF(0, 200, w, 70), Qt::AlignCenter, QStringLiteral("MORO Zel"));
    p.setFont(UiFont(16));
    p.setPen(QColor(190, 230, 160));
    p.drawText(QRectF(0, 270, w, 30), Qt::AlignCenter, QStringLiteral("comandos de voz"));
    p.end();
    return To8Bit(img);
}

// Notification area: the application's icon (recognition on) and the image
// list's 16 × 16 picture (recognition off).
QImage TrayIcon(int size, bool on) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    double s = size / 16.0;
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(60, 140, 50) : QColor(70, 76, 70));
    p.drawEllipse(QRectF(0.5 * s, 0.5 * s, 15 * s, 15 * s));
    Microphone(p, QPointF(8 * s, 9.5 * s), 0.3 * s, on ? QColor(255, 255, 255) : QColor(170, 170, 170),
               on ? QColor(255, 255, 255) : QColor(170, 170, 170));
    if (!on) {
        p.setPen(QPen(QColor(230, 60, 50), 1.6 * s, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5 * s, 3.5 * s), QPointF(12.5 * s, 12.5 * s));
    }
    p.end();
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    gRaw = argc == 3 && QByteArray(argv[2]) == "--raw";
    if (argc != 2 && !gRaw) {
        std::fprintf(stderr, "usage: zel_artwork OUTPUT_FOLDER [--raw]\n");
        return 2;
    }
    QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    bool ok = Save(Background(), out, QStringLiteral("fundo.png"));
    const struct {
        const char* file;
        const char* caption;
    } strips[] = {
        {"carregar_profile.png", "Carregar Profile"}, {"salvar_profile.png", "Salvar Profile"},
        {"comandos.png", "Comandos"},                 {"ditado.png", "Ditado"},
        {"preferencias.png", "Preferências"},         {"adicionar.png", "Adicionar"},
        {"remover.png", "Remover"},                   {"voltar.png", "Voltar"},
        {"carregar.png", "Carregar"},                 {"limpar.png", "Limpar"},
        {"treinar_voz.png", "Treinar voz"},           {"gravar.png", "Gravar"},
        {"parar_gravacao.png", "Parar"},              {"refazer.png", "Refazer"},
        {"proxima.png", "Próxima"},                   {"adaptar.png", "Adaptar"},
        {"esquecer_treino.png", "Esquecer treino"},
    };
    for (const auto& s : strips) ok = Save(CaptionStrip(QString::fromUtf8(s.caption)), out, QString::fromLatin1(s.file)) && ok;
    ok = Save(SmallStrip(false), out, QStringLiteral("minimizar.png")) && ok;
    ok = Save(SmallStrip(true), out, QStringLiteral("fechar.png")) && ok;
    ok = Save(ReconhecerStrip(QStringLiteral("RECONHECER")), out, QStringLiteral("reconhecer.png")) && ok;
    ok = Save(ReconhecerStrip(QStringLiteral("PARAR")), out, QStringLiteral("parar.png")) && ok;
    ok = Save(Logo(508, 364), out, QStringLiteral("logo.png")) && ok;
    ok = Save(TrayIcon(16, false), out, QStringLiteral("tray_desativado.png")) && ok;
    ok = Save(TrayIcon(64, true), out, QStringLiteral("app_icon.png")) && ok;
    // The Windows program's own icon.
    if (gRaw && !TrayIcon(64, true).save(QDir(out).filePath(QStringLiteral("app_icon.ico")), "ICO")) {
        std::fprintf(stderr, "zel_artwork: cannot write app_icon.ico\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
