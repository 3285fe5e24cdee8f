#pragma once
// The about box "AboutBox".

#include <QDialog>

namespace ravik {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace ravik
