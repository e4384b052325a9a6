#pragma once
// The main window's widgets seen through the transfer engine's controls
// interface. Setters change only the widget; the window connects the user's
// own edits to the engine's handlers.

#include "app/transfer/transfercontrols.h"

#include <QtGlobal>

class QComboBox;

namespace Ui {
class TForm1;
}

class FormControls : public TransferControls {
public:
    explicit FormControls(Ui::TForm1& ui);

    int itemIndex(SettingsList list) const override;
    void setItemIndex(SettingsList list, int index) override;
    QString portText() const override;
    void setPortText(const QString& text) override;
    QString baudText() const override;
    QString timeGapText() const override;
    void setTimeGapText(const QString& text) override;
    QString dataSizeText() const override;
    void setDataSizeText(const QString& text) override;
    void setDataSizeEnabled(bool enabled) override;
    bool pauseByDataSize() const override;
    void setPauseByDataSize(bool checked) override;
    void setPauseByDataSizeEnabled(bool enabled) override;
    QString sendFileName() const override;
    QByteArray sendFilePath() const override;
    // Puts a chosen file into the file box, remembering its name's bytes.
    void setSendFile(const QString& path);
    void setStartCaption(const QString& caption) override;
    void setBrowseEnabled(bool enabled) override;
    void setSetPortEnabled(bool enabled) override;
    void setProgressRange(qint64 maximum) override;
    void setProgressPosition(qint64 position) override;
    void setCounterText(const QString& text) override;
    // Shows the bytes in the log as its menu chose, and captures them.
    void appendReceived(const QByteArray& bytes) override;

private:
    QComboBox* comboFor(SettingsList list) const;

    Ui::TForm1& m_ui;
    // The progress bar counts in int: files beyond 2 GiB are shown in units
    // of 2^m_progressShift bytes.
    int m_progressShift = 0;
    QString m_chosenText;    // the file box's text when a file was chosen
    QByteArray m_chosenPath; // that file as the system names it
};
