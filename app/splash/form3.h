#pragma once
// TForm3: the borderless splash window shown for two seconds at start-up.

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <memory>

class QTimer;

namespace Ui {
class TForm3;
}

class TForm3 : public QWidget {
    Q_OBJECT
public:
    // How long the splash stays up: its timer fires once, then it closes.
    static constexpr std::chrono::milliseconds ShowTime{2000};

    // A top-level window owned by AOwner (destroyed with it), above the other
    // windows, centred on the pointer's screen (where a hidden AOwner goes
    // too), showing the picture, with the components of its stream; its
    // timer starts now. Throws JpegError when the picture is damaged and
    // ComponentStreamError when the stream cannot be read.
    explicit TForm3(QWidget* AOwner = nullptr);
    ~TForm3() override;

    QTimer* Timer1 = nullptr;

    // Stops the timer, then closes (hides) the window.
    void Timer1Timer();

private:
    std::unique_ptr<Ui::TForm3> ui;
};

// The program-wide splash slot, set by ShowSplash; cleared when the window goes.
extern QPointer<TForm3> Form3;

// Creates the splash window with Owner as its owner, stores it in Form3 and
// shows it without waiting (on Wayland, right after a hidden Owner is shown). The main window's creation calls this.
void ShowSplash(QWidget* Owner);
