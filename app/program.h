// Start-up shared by the program and its tests.
#pragma once

class QApplication;

namespace Program {

inline constexpr char kName[] = "quorvel";

// Identity and look of the application; call once the application object exists.
void setUp(QApplication &app);

} // namespace Program
