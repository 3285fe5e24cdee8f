#include "ui/link/dump_dialog.h"

#include <QCheckBox>
#include <algorithm>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "ui/common/dialog_shell.h"

namespace ravik {

namespace {

using namespace dump_control;

QLabel* AddLabel(QWidget* parent, int id, int minimumLines) {
    auto* label = new QLabel(parent);
    SetControlId(label, id);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(label->fontMetrics().lineSpacing() * minimumLines);
    return label;
}

QGroupBox* StatusBox(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Status"), parent);
    auto* layout = new QVBoxLayout(box);
    const std::pair<int, const char*> boxes[] = {
        {kCts, "CTS"}, {kDsr, "DSR"}, {kRls, "RLS"}, {kXoffSent, "XOFF Sent"}, {kXoffReceived, "XOFF Received"}};
    for (const auto& [id, label] : boxes) {
        auto* check = new QCheckBox(QString::fromLatin1(label), box);
        SetControlId(check, id);
        // The boxes show the line; the user does not set them.
        check->setAttribute(Qt::WA_TransparentForMouseEvents);
        check->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(check);
    }
    return box;
}

}  // namespace

DumpDialog::DumpDialog(SerialLine& line, Prompter& prompter, Settings& settings, std::string dumpPath,
                       QWidget* parent)
    : QDialog(parent), receiver_(line, prompter, settings, std::move(dumpPath)) {
    setObjectName(QStringLiteral("COMMDIALOGBOX"));
    setWindowTitle(QStringLiteral("ORVEX Fast Data Dump"));

    QLabel* prompt = AddLabel(this, kPrompt, 6);
    prompt->setMinimumWidth(prompt->fontMetrics().averageCharWidth() * 60);
    prompt->setFrameShape(QFrame::StyledPanel);
    prompt->setMargin(6);
    QLabel* progress = AddLabel(this, kProgress, 1);
    QLabel* queue = AddLabel(this, kInQueue, 1);
    progressBar_ = new QProgressBar(this);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);

    accept_ = new QPushButton(QStringLiteral("&Accept"), this);
    auto* accept = accept_;
    SetControlId(accept, kAccept);
    accept->setDefault(true);
    accept->setEnabled(false);
    auto* discard = new QPushButton(QStringLiteral("&Discard"), this);
    SetControlId(discard, kDiscard);
    // Enter is Accept's alone: Discard, focused while Accept is greyed, never
    // becomes the default, so Enter does nothing until every reading is in.
    discard->setAutoDefault(false);
    connect(accept, &QPushButton::clicked, this, &DumpDialog::acceptDump);
    connect(discard, &QPushButton::clicked, this, &DumpDialog::discardDump);

    auto* texts = new QVBoxLayout;
    texts->addWidget(prompt, 1);
    texts->addWidget(progressBar_);
    texts->addWidget(progress);
    texts->addWidget(queue);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(accept);
    buttons->addWidget(discard);
    buttons->addStretch(1);
    buttons->addWidget(StatusBox(this));
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);

    timer_.setInterval(kDumpTickMillis);
    connect(&timer_, &QTimer::timeout, this, &DumpDialog::tick);
}

bool DumpDialog::start(const SerialPortConfig& config) {
    if (!receiver_.open(config)) return false;
    ApplyDialogEvents(*this, receiver_.takeEvents());
    timer_.start();
    return true;
}

void DumpDialog::tick() {
    receiver_.tick();
    ApplyDialogEvents(*this, receiver_.takeEvents());
    progressBar_->setValue(std::min(receiver_.state().percent, 100));
    // Once Accept comes on it takes the focus from Discard.
    if (accept_->isEnabled() && !acceptFocused_) {
        acceptFocused_ = true;
        accept_->setFocus();
    }
}

void DumpDialog::acceptDump() {
    if (!receiver_.acceptEnabled()) return;
    timer_.stop();
    done(1);
}

void DumpDialog::discardDump() {
    if (!receiver_.discard()) return;
    timer_.stop();
    done(0);
}

}  // namespace ravik
