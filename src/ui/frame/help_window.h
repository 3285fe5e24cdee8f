#pragma once
// The help window: the program's help pages, opened at their index.

#include <QWidget>

class QTextBrowser;

namespace ravik {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the index page and brings the window to the front.
    void showIndex();
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace ravik
