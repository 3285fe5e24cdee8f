#pragma once
// The site dialog "SiteDialogBox": edits the site name of the open file.

#include <QDialog>
#include <string>

class QLineEdit;

namespace ravik {

class SiteDialog : public QDialog {
    Q_OBJECT
public:
    // site: the store's site, Windows-1252.
    SiteDialog(const std::string& site, QWidget* parent = nullptr);

    // "&Reset": the site as it was when the dialog opened.
    void reset();
    // The edited site, Windows-1252, at most 63 characters.
    std::string site() const;

private:
    QString original_;
    QLineEdit* edit_;
};

}  // namespace ravik
