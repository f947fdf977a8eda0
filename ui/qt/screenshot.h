#pragma once
// Renders every page of the window into DIR/page-1.png … page-4.png, and for a window whose
// list is empty DIR/results.png: the first page with example rows in the "结果" column.
#include <QString>

class MainWindow;

// Empty on success, else what failed and on which file.
QString saveScreenshots(MainWindow& window, const QString& directory);
