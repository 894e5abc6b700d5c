#pragma once

class QWidget;

/// Centres a window on its screen's free area at every showing, its frame included: the window
/// manager adds the frame only after the window is mapped, so the window is centred again once the
/// frame is known. Lasts as long as the window.
void centreOnScreenWithFrame(QWidget& window);
