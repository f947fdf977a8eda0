#pragma once
// Page 4, "软件说明": the help text.
#include <QWidget>

class QLabel;

class HelpPage : public QWidget {
    Q_OBJECT
public:
    explicit HelpPage(QWidget* parent = nullptr);

    QLabel* helpText;  // 标签3
};
