#pragma once
// Qt's own texts (the buttons and labels of its file and folder dialogs, the context menus
// of edit boxes) in Chinese, as every text of the window is. Debian ships them in its Qt
// translation package; a copy beside the program (a "translations" folder) comes first.
#include <QString>
#include <QStringList>

class QCoreApplication;
class QTranslator;

// The folders looked in, in order.
QStringList qtTranslationFolders();
// Installs the first qtbase_zh_CN.qm found in `folders` into the application and gives
// the translator, which the application owns; null, and Qt keeps its English texts, when
// there is none.
QTranslator* installQtChineseTranslations(QCoreApplication& app, const QStringList& folders = qtTranslationFolders());
