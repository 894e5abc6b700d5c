#pragma once

class QFileDialog;

/// Makes a file dialog of the toolkit's own wide enough for what it shows, in either language: once
/// a folder has been read, each column widens to its longest entry and heading, the side panel to its
/// longest place, and the dialog grows to hold them (within the screen). A chooser of the desktop's
/// own, where one is used, sizes itself and is left alone. Call before the dialog runs.
void fitFileDialog(QFileDialog& dialog);
