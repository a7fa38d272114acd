#pragma once
// Qt's own texts in Czech: the buttons and labels of the platform's dialogs (the
// save-file dialog, say) speak the program's language. Where the system has no
// Czech translations of Qt, they stay in English.
class QCoreApplication;

void InstallCzechTranslations(QCoreApplication& application);
