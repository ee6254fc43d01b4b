// The program's own font configuration: fontconfig's API, nothing on disk.
#include "runtime/qt/fonts.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#if QUORVEL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace Runtime::QtUi::Fonts {

namespace {

const char kFace[] = "Liberation Sans";
const char kFacePackage[] = "fonts-liberation2";
// Where that package puts the face on Debian: looked in first, so that an older copy of the
// face elsewhere never wins.
const char kFaceFolder[] = "/usr/share/fonts/truetype/liberation2";
const char kFaceFiles[] = "LiberationSans-*";

#if QUORVEL_HAVE_FONTCONFIG
QByteArray escaped(const QString &path)
{
    return path.toUtf8().replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

// The folders and caches of a system's usual configuration, and the rendering its usual rules
// give: antialiased, slight hinting, the default LCD filter.
QByteArray configuration(bool systemFolders)
{
    const QString home = QDir::homePath();
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    const QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    QByteArray xml = "<?xml version=\"1.0\"?>\n<fontconfig>\n";
    QStringList folders = {QString::fromLatin1(kFaceFolder)};
    if (systemFolders)
        folders << QStringLiteral("/usr/share/fonts") << QStringLiteral("/usr/local/share/fonts")
                << dataHome + QStringLiteral("/fonts") << home + QStringLiteral("/.fonts");
    for (const QString &folder : folders) {
        // Only folders that are there: an absent one would only be looked for in vain.
        if (QFileInfo(folder).isDir())
            xml += "  <dir>" + escaped(folder) + "</dir>\n";
    }
    for (const QString &cache : {QStringLiteral("/var/cache/fontconfig"), cacheHome + QStringLiteral("/fontconfig"),
                                 home + QStringLiteral("/.fontconfig")})
        xml += "  <cachedir>" + escaped(cache) + "</cachedir>\n";
    // The face comes from its own folder alone: another copy of another version (an older
    // package beside it) draws some of its glyphs a pixel apart.
    if (QFileInfo(QString::fromLatin1(kFaceFolder)).isDir()) {
        xml += "  <selectfont>\n"
               "    <acceptfont><glob>" + QByteArray(kFaceFolder) + "/*</glob></acceptfont>\n"
               "    <rejectfont><glob>*/" + QByteArray(kFaceFiles) + "</glob></rejectfont>\n"
               "  </selectfont>\n";
    }
    xml += "  <match target=\"pattern\">\n"
           "    <edit name=\"antialias\" mode=\"append\"><bool>true</bool></edit>\n"
           "    <edit name=\"hintstyle\" mode=\"append\"><const>hintslight</const></edit>\n"
           "    <edit name=\"lcdfilter\" mode=\"append\"><const>lcddefault</const></edit>\n"
           "  </match>\n"
           "</fontconfig>\n";
    return xml;
}
#endif

} // namespace

bool useOwnConfiguration(bool systemFolders)
{
#if QUORVEL_HAVE_FONTCONFIG
    // A configuration the user names on purpose is theirs to keep.
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        return false;
    static bool made = false;
    if (made)
        return true;
    FcConfig *config = FcConfigCreate();
    const QByteArray xml = configuration(systemFolders);
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(xml.constData()), FcTrue)
        || !FcConfigBuildFonts(config) || !FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        return false;
    }
    FcConfigDestroy(config); // the current configuration holds its own reference
    made = true;
    return true;
#else
    return false;
#endif
}

std::optional<QString> missingFace()
{
#if QUORVEL_HAVE_FONTCONFIG
    // The one face, matched as the toolkit will match it; listing every family would cost
    // far more at start-up.
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(kFace));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    FcChar8 *matched = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch)
        found = QString::fromUtf8(reinterpret_cast<const char *>(matched))
                        .compare(QLatin1String(kFace), Qt::CaseInsensitive) == 0;
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    if (!found)
        return QStringLiteral("the font \"%1\" is not installed, so some texts will be cut off; "
                              "install the package %2").arg(QLatin1String(kFace), QLatin1String(kFacePackage));
#endif
    return std::nullopt;
}

} // namespace Runtime::QtUi::Fonts
