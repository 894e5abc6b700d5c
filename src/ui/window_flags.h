#pragma once

#include <Qt>

/// A fixed-size dialog: a title with the system menu and the close box, no minimise or maximise box.
/// Window managers that honour the boxes a window asks for then offer neither; with the fixed size none
/// offers to maximise or resize it.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
