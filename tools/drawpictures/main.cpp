// drawpictures: writes every stored picture that assets/pictures.txt lists, and the icon, into an assets folder.
#include "balls.h"
#include "bmp.h"
#include "captions.h"
#include "icon.h"
#include "masks.h"
#include "oval.h"
#include "pad.h"
#include "picturelist.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QBuffer>
#include <QGuiApplication>
#include <QMap>
#include <QTextStream>

#include <stdexcept>

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

// Every picture this program draws, by name.
QMap<QString, QImage> drawnPictures()
{
    QMap<QString, QImage> drawn;
    drawn.insert(QStringLiteral("PicM"), maskPicture(checkMaskShape()));
    drawn.insert(QStringLiteral("pic2"), maskPicture(ovalMaskShape()));
    drawn.insert(QStringLiteral("Picture2"), maskPicture(padMaskShape()));

    drawn.insert(QStringLiteral("pic3"), ovalFace(ButtonState::Released));
    drawn.insert(QStringLiteral("pic4"), ovalFace(ButtonState::Pressed));
    drawn.insert(QStringLiteral("Picture8"), buttonFace(exitCaption(), ButtonState::Released));
    drawn.insert(QStringLiteral("Picture3"), buttonFace(exitCaption(), ButtonState::Pressed));
    drawn.insert(QStringLiteral("Picture5"), buttonFace(aboutCaption(), ButtonState::Released));
    drawn.insert(QStringLiteral("Picture6"), buttonFace(aboutCaption(), ButtonState::Pressed));

    const PadPictures pad = padPictures();
    drawn.insert(QStringLiteral("Picture1"), pad.face);
    for (int i = 0; i < pad.images.size(); ++i)
        drawn.insert(QStringLiteral("ImageList1-%1").arg(i + 1), pad.images.at(i));

    const QList<QImage> balls = ballImages();
    for (int i = 0; i < balls.size(); ++i)
        drawn.insert(QStringLiteral("ImageList2-%1").arg(i + 1), balls.at(i));
    return drawn;
}

void drawAll(const QDir &assets)
{
    requireCaptionFont();
    const QStringList listed = listedPictureNames();
    const QMap<QString, QImage> drawn = drawnPictures();
    QStringList mismatches;
    for (const QString &name : listed)
        if (!drawn.contains(name))
            mismatches << name + QStringLiteral(" is listed, but drawpictures has no drawing of that name");
    for (const QString &name : drawn.keys())
        if (!listed.contains(name))
            mismatches << name + QStringLiteral(" is drawn, but not listed");
    if (!mismatches.isEmpty())
        throw std::runtime_error(QStringLiteral("%1 and the drawings differ:\n  %2")
                                     .arg(QString::fromUtf8(kPictureListFile), mismatches.join(QStringLiteral("\n  ")))
                                     .toStdString());

    const QString pictures = assets.filePath(QStringLiteral("pictures"));
    const QString icons = assets.filePath(QStringLiteral("icon"));
    QDir().mkpath(pictures);
    QDir().mkpath(icons);
    for (const QString &name : listed)
        writeFile(pictures + QLatin1Char('/') + name + QStringLiteral(".bmp"), bmpFile(drawn.value(name)));

    const QList<IconImage> icon = iconImages();
    writeFile(icons + QStringLiteral("/quorvel.ico"), icoFile(icon));
    // Desktop icon themes take the sixteen-colour images, one file a size.
    for (const IconImage &image : icon)
        if (image.colours.colorCount() > 2)
            writeFile(icons + QStringLiteral("/quorvel-%1.png").arg(image.colours.width()), pngFile(iconWithAlpha(image)));
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
