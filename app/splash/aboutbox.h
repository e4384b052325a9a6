#pragma once
// TAboutBox: the modal About box opened by the main window's About button.

#include <QDialog>
#include <QUrl>

#include <memory>

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // The maker's web site, opened by a click on the picture or the link.
    static QUrl WebAddress();

    // Created hidden, centred on the primary screen, with the components of its
    // stream; OK closes it with the OK result. Throws JpegError when the
    // picture is damaged and ComponentStreamError when the stream cannot be read.
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Asks the desktop to open WebAddress() in the default browser; the
    // outcome is not examined.
    void WebLinkClick();

    // Showing centres the box on the main window's screen first.
    void setVisible(bool visible) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};
