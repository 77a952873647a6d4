#pragma once

namespace platform::qt {

// Screen readers see a picture box as a graphic, not a generic pane.
void InstallPictureAccessibility();

} // namespace platform::qt
