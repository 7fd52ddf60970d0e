#pragma once

class QApplication;

namespace velmora {

// Velmora's look: the Fusion style with a dark palette and lime accents, so
// native controls sit well on the black full-screen window.
void ApplyDarkTheme(QApplication& app);

} // namespace velmora
