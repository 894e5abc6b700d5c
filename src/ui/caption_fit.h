#pragma once

class QWidget;

/// Check boxes and radio buttons below `window` keep the width they were first given where their
/// caption fits, and are wider where a caption needs more (English is longer than Chinese). Run after
/// the captions are set: when the window is made, and again after each change of language.
void fitCaptions(QWidget& window);
