#pragma once
// The controls without a window: every box, button and label is a plain value,
// and what the engine says is kept in a list. The command-line sender builds
// on it; tests read the values back.

#include "app/transfer/transfercontrols.h"
#include "app/transfer/transferengine.h"

#include <QList>
#include <QStringList>

#include <array>

class HeadlessControls : public TransferControls {
public:
    using Message = TransferMessage;

    // Keeps every message `engine` emits in `messages`, every log line in `logLines`.
    void listenTo(TransferEngine& engine);

    int itemIndex(SettingsList list) const override;
    void setItemIndex(SettingsList list, int index) override;
    QString portText() const override { return port; }
    void setPortText(const QString& text) override { typePort(text); }
    QString baudText() const override { return baud; }
    QString timeGapText() const override { return timeGap; }
    void setTimeGapText(const QString& text) override { timeGap = text; }
    QString dataSizeText() const override { return dataSize; }
    void setDataSizeText(const QString& text) override { dataSize = text; }
    void setDataSizeEnabled(bool enabled) override { dataSizeEnabled = enabled; }
    bool pauseByDataSize() const override { return pauseChecked; }
    void setPauseByDataSize(bool checked) override { pauseChecked = checked; }
    void setPauseByDataSizeEnabled(bool enabled) override { pauseEnabled = enabled; }
    QString sendFileName() const override { return sendFile; }
    QByteArray sendFilePath() const override
    {
        return sendFileBytes.isEmpty() ? TransferControls::sendFilePath() : sendFileBytes;
    }
    void setStartCaption(const QString& caption) override { startCaption = caption; }
    void setBrowseEnabled(bool enabled) override { browseEnabled = enabled; }
    void setSetPortEnabled(bool enabled) override { setPortEnabled = enabled; }
    void setProgressRange(qint64 maximum) override { progressMaximum = maximum; }
    void setProgressPosition(qint64 position) override { progressPosition = position; }
    void setCounterText(const QString& text) override { counter = text; }
    void appendReceived(const QByteArray& bytes) override { log << bytes; }

    // Typing a port or baud text by hand: the list index follows the text.
    void typePort(const QString& text);
    void typeBaud(const QString& text);

    QString port = QStringLiteral("COM1");
    QString baud = QStringLiteral("9600");
    std::array<int, 5> indexes {0, 5, 0, 0, 0};
    QString timeGap = QStringLiteral("50");
    QString dataSize = QStringLiteral("512");
    bool dataSizeEnabled = false;
    bool pauseChecked = false;
    bool pauseEnabled = true;
    QString sendFile;
    QByteArray sendFileBytes; // when set, the path as bytes (sendFile is then only shown)
    QString startCaption = QStringLiteral("Start");
    bool browseEnabled = true;
    bool setPortEnabled = true;
    qint64 progressMaximum = 100;
    qint64 progressPosition = 0;
    QString counter;
    QList<QByteArray> log;
    QList<Message> messages;
    QStringList logLines;
};
