#include "ui/frame/help_window.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ravik {

namespace {
const QUrl kIndex(QStringLiteral("qrc:/help/index.html"));
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("RAVIK Help"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/ORVEXBLAND.png")));
    browser_->setOpenExternalLinks(true);

    auto* back = new QPushButton(QStringLiteral("< &Back"), this);
    auto* forward = new QPushButton(QStringLiteral("&Forward >"), this);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::showIndex);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    resize(820, 680);
}

void HelpWindow::showIndex() {
    browser_->setSource(kIndex);
    show();
    raise();
    activateWindow();
}

}  // namespace ravik
