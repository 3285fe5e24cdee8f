#pragma once
// The quick-button bar "QUICKBUTTONS": six picture buttons along the top of
// the frame (Open, Save, Print, Remote, Connect, Help). A button only posts
// its command to the frame.

#include <QAbstractButton>
#include <QPixmap>
#include <QWidget>
#include <array>

namespace ravik {

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(int controlId, const QString& pictureName, QWidget* parent);
    // Picks another set of pictures ("CONNECT" or "CONNECTED" for the port state).
    void setPictures(const QString& normal, const QString& greyed, const QString& pressed);
    const QString& shownPicture() const { return shown_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString normal_, greyed_, pressed_;
    QString shown_;
};

class QuickButtonBar : public QWidget {
    Q_OBJECT
public:
    explicit QuickButtonBar(QWidget* parent);

    PictureButton* button(int controlId) const;
    void setButtonEnabled(int controlId, bool enabled);
    // The Connect button shows, and posts, by the instrument port's state.
    void setPortOpen(bool open);

Q_SIGNALS:
    // A button was clicked: the frame runs the command once the click is over.
    void commandPosted(int command);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<PictureButton*, 6> buttons_{};
    bool portOpen_ = false;
    QPixmap background_;
};

}  // namespace ravik
