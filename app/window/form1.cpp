#include "app/window/form1.h"

#include "app/transfer/settingsfolder.h"
#include "effects/util/controlgeometry.h"
#include "ui_form1.h"

#include "app/transfer/besideconfig.h"
#include "app/transfer/replywaitfile.h"
#include "app/window/firmwarestart.h"
#include "app/window/lineformatnotice.h"
#include "app/window/waitforreplydialog.h"

#include <QAction>
#include <QAbstractItemView>
#include <QCompleter>
#include <QDesktopServices>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QResizeEvent>
#include <QScreen>
#include <QUrl>

namespace {

// The last file chosen, kept beside "Config.dat" for the next start.
const QString LastFileName = QStringLiteral("LastFile.txt");

// The one local file (not a folder) being dragged, or nothing.
QString droppedFile(const QMimeData* data)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QFileInfo file(urls.first().toLocalFile());
    return file.isFile() ? file.absoluteFilePath() : QString();
}

// The manual opened by the Help button, looked up in the working directory.
const QString HelpDocument = QStringLiteral("MSP430_FlashUpdate.pdf");

} // namespace

TForm1::TForm1(FormSetup setup, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::TForm1>()),
      m_setup(std::move(setup)),
      m_controls(*ui),
      m_engine(m_controls)
{
    // What the engine has to say shows in a modal message box, at once: a
    // port error during FormCreate shows before the window does.
    connect(&m_engine, &TransferEngine::message, this, [this](const TransferMessage& message) {
        const MessageShower show = m_setup.showMessage ? m_setup.showMessage : MessageShower(ShowModalMessage);
        show(message.text, message.caption.isEmpty() ? ApplicationTitle() : message.caption);
    });
    // A failure that needs no answer (a file beside the settings not written) is a line in the log.
    connect(&m_engine, &TransferEngine::logLine, this, [this](const QString& line) { ui->Memo1->appendLine(line); });
    // Said once per Start, in the log, once the file is open.
    connect(&m_engine, &TransferEngine::transferStarted, this, [this] {
        if (const QString warning = m_engine.wireTimeWarning(); !warning.isEmpty())
            ui->Memo1->appendLine(warning);
    });

    ui->setupUi(this);
    ui->Memo1->msSinceStart = [this] { return m_engine.msSinceStart(); };
    // A fixed single border: the user cannot resize; only the size guard grows it.
    m_laidOutSize = size();
    setFixedSize(m_laidOutSize);
    widenToTheLeft(ui->CheckBox1);

    const QIcon help = style()->standardIcon(QStyle::SP_DialogHelpButton);
    ui->BitBtn1->setIcon(help);
    ui->BitBtn2->setIcon(help);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    // Not ExistingFile: the dialog checks existence by the shown name, which
    // for a name that is not text is not the file's; Start says when the
    // chosen file cannot be opened.
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    createPopupMenu();
    // Files can be dropped anywhere on the window, the log included.
    setAcceptDrops(true);
    ui->Memo1->setAcceptDrops(false);

    connect(ui->CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui->Edit1, &QLineEdit::textEdited, this, &TForm1::Edit1Change);
    connect(ui->Edit2, &QLineEdit::textEdited, this, &TForm1::Edit2Change);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);

    FormCreate();
}

TForm1::~TForm1() = default;

// The reference layout was drawn for a narrower font: a control whose text
// would be cut grows to the left, keeping its right edge in line with the boxes.
void TForm1::widenToTheLeft(QWidget* control)
{
    const QRect at = control->geometry();
    const int needed = control->sizeHint().width();
    if (needed > at.width())
        control->setGeometry(at.right() + 1 - needed, at.top(), needed, at.height());
}

void TForm1::createPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    ui->Memo1->addMenuItems(PopupMenu1, {[this](const QString& title, const QString& filter) {
                                             return m_setup.chooseSaveFile
                                                 ? m_setup.chooseSaveFile(title)
                                                 : QFileDialog::getSaveFileName(this, title, QString(), filter);
                                         },
                                         [this](const QString& text) { showMessage(text); }});
    PopupMenu1->addSeparator();
    connect(ui->Memo1->addMenuItem(PopupMenu1, "WaitForReply1", QStringLiteral("Wait For Reply\u2026")),
            &QAction::triggered, this, &TForm1::WaitForReply1Click);

    ui->Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->Memo1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(ui->Memo1->viewport()->mapToGlobal(at));
    });
}

void TForm1::FormCreate()
{
    ConfigPath = ConfigPathIn(m_setup.settingsDir.isEmpty() ? SettingsFolder() : m_setup.settingsDir);
    if (m_setup.showSplash)
        m_setup.showSplash(this);
    fillLists();
    // Loads and applies the settings, shows the counter "0" and opens the port.
    m_engine.initialise(ConfigPath);
    const ReplyWaitSetting wait = LoadReplyWait(ConfigPath);
    m_engine.setReplyWait(wait.text, wait.timeoutMs);
    const QString lastFile = ReadLinesBeside(ConfigPath, LastFileName).value(0);
    ui->Edit3->setText(lastFile);
    ui->Edit3->setToolTip(lastFile);
}

void TForm1::chooseSendFile(const QString& path)
{
    // The box shows the path; the engine gets its name's bytes.
    m_controls.setSendFile(QFileInfo(path).absoluteFilePath());
    const QString shown = ui->Edit3->text();
    ui->Edit3->setToolTip(shown);
    showInLog(WriteLinesBeside(ConfigPath, LastFileName, {shown}));
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_engine.isSending() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || m_engine.isSending())
        return;
    chooseSendFile(path);
    event->acceptProposedAction();
}

void TForm1::fillLists()
{
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(ListItems(SettingsList::Port));
    ui->ComboBox2->clear();
    ui->ComboBox2->addItems(ListItems(SettingsList::Baud));
}

void TForm1::CheckBox1Click()
{
    m_engine.pauseByDataSizeClicked();
}

void TForm1::Button1Click()
{
    // A Start, not a Stop: a firmware file is checked first.
    const QuestionAsker ask = m_setup.askQuestion ? m_setup.askQuestion : QuestionAsker(AskModalQuestion);
    if (!m_engine.isSending() && !CheckFirmwareAtStart(m_controls.sendFilePath(), *ui->Memo1, ask))
        return;
    m_engine.startOrStop();
}

void TForm1::Button2Click()
{
    // Every file is offered: "*.*" means all files, also those without a dot.
    OpenDialog1->setNameFilter(QStringLiteral("*.* (*)"));
    const int result = OpenDialog1->exec();
    // A path typed and taken with Enter can leave the name completer's
    // pop-up up after the dialog has gone; it goes with the dialog.
    for (QCompleter* completer : OpenDialog1->findChildren<QCompleter*>()) {
        if (completer->popup() && completer->popup()->isVisible())
            completer->popup()->hide();
    }
    if (result != QDialog::Accepted)
        return;
    const QStringList chosen = OpenDialog1->selectedFiles();
    if (!chosen.isEmpty())
        chooseSendFile(chosen.first());
}

void TForm1::Button3Click()
{
    m_engine.applyPortSettings();
    // The link now runs at 8N1 whatever these boxes say: said once per Set Port.
    if (m_engine.isPortOpen())
        if (const QString notice = LineFormatNotice(ui->ComboBox3->currentText(), ui->ComboBox4->currentText(),
                                                    ui->ComboBox5->currentText());
            !notice.isEmpty())
            ui->Memo1->appendLine(notice);
}

void TForm1::Edit1Change()
{
    m_engine.timeGapEdited();
}

void TForm1::Edit2Change()
{
    m_engine.dataSizeEdited();
}

void TForm1::Timer1Timer()
{
    m_engine.tick();
}

// The size guard: the outer window is at least 350 wide and 500 high. It runs
// whenever the window is shown, moved or resized instead of polling. The frame
// is known only once the window manager has framed the window, so the client
// size is worked out afresh from the laid-out size each time: a guess made
// before the frame was known does not leave the window too big.
void TForm1::Timer2Timer()
{
    // The window manager's frame, known before the manager has framed the window.
    const QSize frame = GetRealBoundsRect(this).toQRect().size() - size();
    const QSize wanted(std::max(m_laidOutSize.width(), MinimumOuterWidth - frame.width()),
                       std::max(m_laidOutSize.height(), MinimumOuterHeight - frame.height()));
    if (wanted != size())
        setFixedSize(wanted);
}

void TForm1::BitBtn1Click()
{
    const QFileInfo manual(QDir::current(), HelpDocument);
    if (manual.exists())
        QDesktopServices::openUrl(QUrl::fromLocalFile(manual.absoluteFilePath()));
}

// A modal opening returns only once the box's show transition has ended, so
// a click that comes after the box was closed but before its opening returned
// would find the box still running. It opens the box again as soon as the
// running opening returns, rather than being lost.
void TForm1::BitBtn2Click()
{
    if (!m_aboutBox)
        return;
    if (m_aboutOpen) {
        m_aboutAgain = true;
        return;
    }
    m_aboutOpen = true;
    do {
        m_aboutAgain = false;
        m_aboutBox->exec();
    } while (m_aboutAgain);
    m_aboutOpen = false;
}

void TForm1::WaitForReply1Click()
{
    const ReplyWait& now = m_engine.replyWait();
    WaitForReplyDialog dialog({now.expected(), now.timeoutMs()}, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ReplyWaitSetting chosen = dialog.setting();
    m_engine.setReplyWait(chosen.text, chosen.timeoutMs);
    showInLog(SaveReplyWait(ConfigPath, chosen));
}

bool TForm1::event(QEvent* event)
{
    const bool result = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        Timer2Timer();
        if (!m_centred) {
            m_centred = true;
            centreOnScreen();
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
        Timer2Timer();
        break;
    default:
        break;
    }
    return result;
}

// The log box is anchored to all four sides and the progress bar to the
// bottom edge, so both follow the size guard.
void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    constexpr int MemoRightMargin = 10;  // 539 - (208 + 321)
    constexpr int MemoBottomMargin = 20; // 437 - (40 + 377)
    const QRect memo = ui->Memo1->geometry();
    ui->Memo1->setGeometry(memo.left(), memo.top(), width() - memo.left() - MemoRightMargin,
                           height() - memo.top() - MemoBottomMargin);
    const int barHeight = ui->ProgressBar1->height();
    ui->ProgressBar1->setGeometry(0, height() - barHeight, width(), barHeight);
}

void TForm1::showInLog(const TransferError& notSaved)
{
    if (notSaved)
        ui->Memo1->appendLine(LogLine(Headline::FileNotSaved, notSaved));
}

void TForm1::showMessage(const QString& text)
{
    const MessageShower show = m_setup.showMessage ? m_setup.showMessage : MessageShower(ShowModalMessage);
    show(text, ApplicationTitle());
}

void TForm1::centreOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    // The outer rectangle with the window manager's frame, known before the
    // manager has framed the window; the client area is placed inside it.
    QRect outer = GetRealBoundsRect(this).toQRect();
    outer.moveCenter(screen->availableGeometry().center());
    setGeometry(QRect(outer.topLeft() + GetClientOrigin(this).toQPoint(), size()));
}
