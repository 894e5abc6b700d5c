#pragma once

class QCoreApplication;

/// Loads Qt's own Chinese translations (standard buttons, file dialogs, command line help) from
/// Qt's translation folder, so the standard parts of the interface speak the program's language.
/// Without the translation files the standard parts stay English; nothing is reported.
void installChineseTranslations(QCoreApplication& app);
