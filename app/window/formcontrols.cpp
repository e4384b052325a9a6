#include "app/window/formcontrols.h"

#include "app/transfer/systempath.h"
#include "ui_form1.h"

#include <QDir>

#include <climits>

FormControls::FormControls(Ui::TForm1& ui) : m_ui(ui) {}

QComboBox* FormControls::comboFor(SettingsList list) const
{
    switch (list) {
    case SettingsList::Port: return m_ui.ComboBox1;
    case SettingsList::Baud: return m_ui.ComboBox2;
    case SettingsList::Parity: return m_ui.ComboBox3;
    case SettingsList::ByteSize: return m_ui.ComboBox4;
    case SettingsList::StopBits: break;
    }
    return m_ui.ComboBox5;
}

// A typed text counts as an item only when it is exactly one of them.
int FormControls::itemIndex(SettingsList list) const
{
    const QComboBox* box = comboFor(list);
    return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void FormControls::setItemIndex(SettingsList list, int index)
{
    QComboBox* box = comboFor(list);
    if (index < 0 || index >= box->count()) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    } else {
        box->setCurrentIndex(index);
    }
}

QString FormControls::portText() const
{
    return m_ui.ComboBox1->currentText();
}

void FormControls::setPortText(const QString& text)
{
    m_ui.ComboBox1->setEditText(text);
}

QString FormControls::baudText() const
{
    return m_ui.ComboBox2->currentText();
}

QString FormControls::timeGapText() const
{
    return m_ui.Edit1->text();
}

void FormControls::setTimeGapText(const QString& text)
{
    m_ui.Edit1->setText(text);
}

QString FormControls::dataSizeText() const
{
    return m_ui.Edit2->text();
}

void FormControls::setDataSizeText(const QString& text)
{
    m_ui.Edit2->setText(text);
}

void FormControls::setDataSizeEnabled(bool enabled)
{
    m_ui.Edit2->setEnabled(enabled);
}

bool FormControls::pauseByDataSize() const
{
    return m_ui.CheckBox1->isChecked();
}

void FormControls::setPauseByDataSize(bool checked)
{
    m_ui.CheckBox1->setChecked(checked);
}

void FormControls::setPauseByDataSizeEnabled(bool enabled)
{
    m_ui.CheckBox1->setEnabled(enabled);
}

void FormControls::setSendFile(const QString& path)
{
    m_chosenPath = SystemPath(path);
    m_chosenText = QDir::toNativeSeparators(path);
    m_ui.Edit3->setText(m_chosenText);
}

QByteArray FormControls::sendFilePath() const
{
    return sendFileName() == m_chosenText ? m_chosenPath : TransferControls::sendFilePath();
}

QString FormControls::sendFileName() const
{
    return m_ui.Edit3->text();
}

void FormControls::setStartCaption(const QString& caption)
{
    m_ui.Button1->setText(caption);
}

void FormControls::setBrowseEnabled(bool enabled)
{
    m_ui.Button2->setEnabled(enabled);
}

void FormControls::setSetPortEnabled(bool enabled)
{
    m_ui.Button3->setEnabled(enabled);
}

// An empty file still gets a range of one step: a bar whose maximum equals its
// minimum would turn into a busy indicator.
void FormControls::setProgressRange(qint64 maximum)
{
    m_progressShift = 0;
    if (maximum < 0) {
        m_ui.ProgressBar1->setRange(0, 0); // no known end: the bar shows it is busy
        return;
    }
    while ((maximum >> m_progressShift) > INT_MAX)
        ++m_progressShift;
    const int scaled = static_cast<int>(maximum >> m_progressShift);
    m_ui.ProgressBar1->setRange(0, std::max(scaled, 1));
}

void FormControls::setProgressPosition(qint64 position)
{
    m_ui.ProgressBar1->setValue(static_cast<int>(position >> m_progressShift));
}

void FormControls::setCounterText(const QString& text)
{
    m_ui.Label8->setText(text);
}

void FormControls::appendReceived(const QByteArray& bytes)
{
    m_ui.Memo1->appendReceived(bytes);
}
