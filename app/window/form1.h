#pragma once
// TForm1: the tool's main window. It lays out the controls, fills the lists,
// and forwards every control's event to the transfer engine, which holds the
// settings, the port and the transfer. The window itself is wiring.

#include "app/window/formcontrols.h"
#include "app/window/messagebox.h"
#include "app/transfer/transferengine.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QFileDialog;
class QMenu;

namespace Ui {
class TForm1;
}

// What the window takes from the program that creates it.
struct FormSetup {
    // Folder that holds "Config.dat"; empty means SettingsFolder().
    QString settingsDir;
    // How messages are shown; empty means modal message boxes.
    MessageShower showMessage;
    // Creates and shows the splash window, owned by the main window, without
    // waiting for it; called before the lists are filled and the port opened.
    std::function<void(QWidget* owner)> showSplash;
    // Asks for a file to write (titled `title`); empty means the file dialog.
    std::function<QString(const QString& title)> chooseSaveFile;
    // Asks whether to send a file that failed its check; empty means a modal
    // Yes/No box with No the default.
    QuestionAsker askQuestion;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate (messages may show before the
    // window itself is shown).
    explicit TForm1(FormSetup setup = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The modal About box opened by BitBtn2; the window does not own it.
    void setAboutBox(QDialog* aboutBox) { m_aboutBox = aboutBox; }

    TransferEngine& engine() { return m_engine; }
    FormControls& controls() { return m_controls; }
    QFileDialog* OpenDialog1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // The outer size the size guard keeps at least.
    static constexpr int MinimumOuterWidth = 350;
    static constexpr int MinimumOuterHeight = 500;

    // Handlers, named after their control and event.
    void FormCreate();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Edit1Change();
    void Edit2Change();
    void Timer1Timer();
    void Timer2Timer();
    void BitBtn1Click();
    void BitBtn2Click();
    // "Wait For Reply…": asks for the answer to wait for and remembers it.
    // The log's own items are the log box's (LogBox::addMenuItems).
    void WaitForReply1Click();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A file dropped on the window becomes the file to send.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createPopupMenu();
    void fillLists();
    // Puts `path` into the file box, with the full path as its tooltip, and
    // remembers it for the next start.
    void chooseSendFile(const QString& path);
    static void widenToTheLeft(QWidget* control);
    void centreOnScreen();
    // A file beside the settings that could not be written: a line in the log.
    void showInLog(const TransferError& notSaved);
    // A message box with the application's title, as the engine's messages.
    void showMessage(const QString& text);

    std::unique_ptr<Ui::TForm1> ui;
    FormSetup m_setup;
    FormControls m_controls;
    TransferEngine m_engine;
    QString ConfigPath;
    QDialog* m_aboutBox = nullptr;
    bool m_aboutOpen = false;  // BitBtn2Click's opening has not returned yet
    bool m_aboutAgain = false; // clicked again meanwhile
    QSize m_laidOutSize;
    bool m_centred = false;
};
