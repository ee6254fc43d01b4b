// The face the picture tools write in, read from its file so that what they draw does not
// depend on the desktop's font settings.
#pragma once

inline constexpr char kFontFile[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline constexpr char kFontPackage[] = "fonts-liberation2"; // the Debian package that installs it
