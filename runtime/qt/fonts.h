// The program's own font configuration, made current before the toolkit starts.
#pragma once

#include <QString>

#include <optional>

namespace Runtime::QtUi::Fonts {

// Builds a font configuration in memory and makes it the one the toolkit uses: the folder of
// the face the program's fonts map to first, the system's and the user's font folders after
// it (so that text typed in any script still finds a face), read through their existing
// caches, and the rendering rules written out here. No rule file of the system or the user is
// read, and no file is written. False when there is no font configuration library to use.
// Made once: later calls keep the configuration made first. `systemFolders` false leaves out
// every folder but the face's own (text in other scripts then has no face to fall back on).
bool useOwnConfiguration(bool systemFolders = true);

// What is missing for every text to fit: the face the described fonts map to, with the
// package that brings it; nothing when it is there.
std::optional<QString> missingFace();

} // namespace Runtime::QtUi::Fonts
