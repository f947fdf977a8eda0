#pragma once
// Renders every page of the window into DIR/page-1.png … page-4.png.
#include <QString>

class MainWindow;

// Empty on success, else what failed and on which file.
QString saveScreenshots(MainWindow& window, const QString& directory);
