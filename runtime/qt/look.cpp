// Style, palette and fonts, set explicitly.
#include "runtime/qt/look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include <cmath>

#if QUORVEL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace Runtime::QtUi::Look {

namespace {
const QString kSansFace = QStringLiteral("Liberation Sans");
const QString kSansPackage = QStringLiteral("fonts-liberation2");
constexpr int kDefaultPixelSize = 11;
} // namespace

void prepare()
{
    QApplication::setDesktopSettingsAware(false);
}

QColor buttonFace()
{
    return QColor(192, 192, 192);
}

static QPalette classicPalette()
{
    const QColor face = buttonFace();
    const QColor white(255, 255, 255), black(0, 0, 0), shadow(128, 128, 128);
    QPalette p(black, face, white, shadow, QColor(160, 160, 160), black, white, white, face);
    p.setColor(QPalette::Midlight, QColor(223, 223, 223));
    p.setColor(QPalette::Shadow, black);
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::AlternateBase, face);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(QPalette::ToolTipText, black);
    p.setColor(QPalette::PlaceholderText, shadow);
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, shadow);
    return p;
}

void apply(QApplication &app)
{
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Windows")))
        app.setStyle(style);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), kSansFace);
    QFont::insertSubstitution(QStringLiteral("Arial"), kSansFace);
    app.setFont(defaultFont());
    app.setPalette(classicPalette());
}

QColor colour(const Colour &c)
{
    using S = Colour::Source;
    switch (c.source) {
    case S::Rgb: return QColor::fromRgb(QRgb(c.rgb));
    case S::Window: return QColor(255, 255, 255);
    case S::WindowText: return QColor(0, 0, 0);
    case S::HighlightText: return QColor(255, 255, 255);
    case S::ButtonFace:
    case S::Default: break;
    }
    return buttonFace();
}

QString mapFamily(const QString &family)
{
    if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
        || family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return kSansFace;
    return family;
}

QFont defaultFont()
{
    QFont f(kSansFace);
    f.setPixelSize(kDefaultPixelSize);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont font(const FontDescription &d)
{
    QFont f = defaultFont();
    if (d.family)
        f.setFamily(mapFamily(QString::fromUtf8(d.family)));
    if (d.points > 0)
        f.setPixelSize(int(std::lround(d.points * 96.0 / 72.0)));
    f.setBold(d.bold);
    f.setItalic(d.italic);
    return f;
}

std::optional<QString> missingFace()
{
#if QUORVEL_HAVE_FONTCONFIG
    // The one face, matched as the toolkit will match it; listing every family would cost
    // far more at start-up.
    const QByteArray family = kSansFace.toUtf8();
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    FcChar8 *matched = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch)
        found = QString::fromUtf8(reinterpret_cast<const char *>(matched)).compare(kSansFace, Qt::CaseInsensitive) == 0;
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (!found)
        return QStringLiteral("the font \"%1\" is not installed, so some texts will be cut off; "
                              "install the package %2").arg(kSansFace, kSansPackage);
#endif
    return std::nullopt;
}

} // namespace Runtime::QtUi::Look
