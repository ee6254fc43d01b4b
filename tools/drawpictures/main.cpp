// drawpictures: writes every stored picture, the image lists and the icon into an assets folder.
#include "balls.h"
#include "bmp.h"
#include "captions.h"
#include "icon.h"
#include "masks.h"
#include "oval.h"
#include "pad.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

#include <exception>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray pngFile(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode an icon picture as PNG");
    return bytes;
}

void drawAll(const QDir &assets)
{
    requireCaptionFont();
    const QString pictures = assets.filePath(QStringLiteral("pictures"));
    const QString icons = assets.filePath(QStringLiteral("icon"));
    QDir().mkpath(pictures);
    QDir().mkpath(icons);
    auto bmp = [&](const QString &name, const QImage &image) {
        writeFile(pictures + QLatin1Char('/') + name + QStringLiteral(".bmp"), bmpFile(image));
    };

    bmp(QStringLiteral("PicM"), maskPicture(checkMaskShape()));
    bmp(QStringLiteral("pic2"), maskPicture(ovalMaskShape()));
    bmp(QStringLiteral("Picture2"), maskPicture(padMaskShape()));

    bmp(QStringLiteral("pic3"), ovalFace(ButtonState::Released));
    bmp(QStringLiteral("pic4"), ovalFace(ButtonState::Pressed));
    bmp(QStringLiteral("Picture8"), buttonFace(exitCaption(), ButtonState::Released));
    bmp(QStringLiteral("Picture3"), buttonFace(exitCaption(), ButtonState::Pressed));
    bmp(QStringLiteral("Picture5"), buttonFace(aboutCaption(), ButtonState::Released));
    bmp(QStringLiteral("Picture6"), buttonFace(aboutCaption(), ButtonState::Pressed));

    const PadPictures pad = padPictures();
    bmp(QStringLiteral("Picture1"), pad.face);
    for (int i = 0; i < pad.images.size(); ++i)
        bmp(QStringLiteral("ImageList1-%1").arg(i + 1), pad.images.at(i));

    const QList<QImage> balls = ballImages();
    for (int i = 0; i < balls.size(); ++i)
        bmp(QStringLiteral("ImageList2-%1").arg(i + 1), balls.at(i));

    const QList<IconImage> icon = iconImages();
    writeFile(icons + QStringLiteral("/quorvel.ico"), icoFile(icon));
    writeFile(icons + QStringLiteral("/quorvel-32.png"), pngFile(iconWithAlpha(icon.at(1))));
    writeFile(icons + QStringLiteral("/quorvel-16.png"), pngFile(iconWithAlpha(icon.at(2))));
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: drawpictures ASSETS-FOLDER\n"
               "Writes pictures/*.bmp and icon/quorvel.ico, quorvel-16.png, quorvel-32.png under it.\n";
        return 2;
    }
    // Drawing needs no screen; the font is read from its file, not from the desktop's settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    try {
        drawAll(QDir(QString::fromLocal8Bit(argv[1])));
    } catch (const std::exception &e) {
        err << "drawpictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
