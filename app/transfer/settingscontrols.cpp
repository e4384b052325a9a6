// The settings side of the transfer engine: start-up, the settings record and
// the handlers of the boxes that change the port and the pacing.

#include "app/transfer/transferengine.h"

#include "app/transfer/wholenumber.h"

namespace {

constexpr SettingsList AllLists[] = {SettingsList::Port, SettingsList::Baud, SettingsList::Parity,
                                     SettingsList::ByteSize, SettingsList::StopBits};

uint8_t& storedIndex(TPortSettings& settings, SettingsList list)
{
    switch (list) {
    case SettingsList::Port: return settings.PortIndex;
    case SettingsList::Baud: return settings.BaudIndex;
    case SettingsList::Parity: return settings.ParityIndex;
    case SettingsList::ByteSize: return settings.ByteSizeIndex;
    case SettingsList::StopBits: break;
    }
    return settings.StopBitsIndex;
}

} // namespace

void TransferEngine::Initialise(const QString& configPath)
{
    ConfigPath = configPath;
    Settings = LoadSettings(ConfigPath);
    ApplySettings(Settings);
    PacketCount = 0;
    m_controls.setCounterText(QStringLiteral("0"));
    LinkState = OpenPort();
}

void TransferEngine::SaveSettings()
{
    // The alignment bytes stay as the last loaded file had them.
    TPortSettings read = Settings;
    for (SettingsList list : AllLists)
        storedIndex(read, list) = StoredIndexFor(m_controls.itemIndex(list));
    read.TimeGap = Timer1.interval();
    const std::optional<int> dataSize = ToNonNegativeNumber(m_controls.dataSizeText());
    if (dataSize) {
        read.DataSize = *dataSize;
        read.PauseByDataSize = m_controls.pauseByDataSize() ? 1 : 0;
        Settings = read;
    } else {
        Settings = LoadSettings(ConfigPath);
        ApplySettings(Settings);
    }
    if (m_savesSettings && !ConfigPath.isEmpty())
        WriteSettingsFile(ConfigPath, Settings);
}

void TransferEngine::ApplySettings(const TPortSettings& settings)
{
    TPortSettings copy = settings;
    for (SettingsList list : AllLists)
        m_controls.setItemIndex(list, ItemIndexFor(list, storedIndex(copy, list)));
    setTimer1Interval(UsableTimeGap(settings.TimeGap));
    m_controls.setDataSizeText(QString::number(static_cast<uint32_t>(settings.DataSize)));
    Edit2Change();
    m_controls.setPauseByDataSize(settings.PauseByDataSize != 0);
    m_controls.setTimeGapText(QString::number(static_cast<uint32_t>(Timer1.interval())));
    Edit1Change();
    m_controls.setDataSizeEnabled(false);
}

// Sets Timer1's interval from the Time Gap box; negative, absurd or
// non-numeric text is refused and the box shows the default again.
void TransferEngine::takeTimeGapFromBox()
{
    const std::optional<int> gap = ToWholeNumber(m_controls.timeGapText());
    if (gap && UsableTimeGap(*gap) == *gap) {
        setTimer1Interval(*gap);
    } else {
        setTimer1Interval(DefaultTimeGap);
        m_controls.setTimeGapText(QString::number(DefaultTimeGap));
    }
}

void TransferEngine::Button3Click()
{
    setTimer1Enabled(false);
    takeTimeGapFromBox();
    LinkState = OpenPort();
    setTimer1Enabled(true);
}

void TransferEngine::Edit1Change()
{
    if (LinkState & Sending) {
        m_controls.setTimeGapText(QString::number(Timer1.interval()));
        return;
    }
    // Negative or absurd gaps are refused like a non-number.
    takeTimeGapFromBox();
}

void TransferEngine::Edit2Change()
{
    if ((LinkState & Sending) && m_controls.pauseByDataSize()) {
        m_controls.setDataSizeText(QString::number(ChunkLength));
        return;
    }
    // A negative Data Size is refused like a non-number.
    const std::optional<int> size = ToNonNegativeNumber(m_controls.dataSizeText());
    if (!size) {
        ChunkLength = DefaultDataSize;
        m_controls.setDataSizeText(QString::number(DefaultDataSize));
    } else if (*size > SendBufferSize) {
        ChunkLength = SendBufferSize;
        m_controls.setDataSizeText(QString::number(SendBufferSize));
    } else {
        ChunkLength = *size;
    }
}

void TransferEngine::CheckBox1Click()
{
    m_controls.setDataSizeEnabled(m_controls.pauseByDataSize());
}
