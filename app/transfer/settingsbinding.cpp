#include "app/transfer/settingsbinding.h"

#include "app/transfer/besideconfig.h"

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

// The port box's text when it is not one of COM1..COM8 (a device path, chosen
// from the devices present or typed): "Config.dat" stores 255 for it.
const QString PortFileName = QStringLiteral("Port.txt");

} // namespace

SettingsBinding::SettingsBinding(TransferControls& controls, PacedTimer& timer1, TransferState& state)
    : m_controls(controls), Timer1(timer1), m_state(state)
{
}

void SettingsBinding::LoadFrom(const QString& configPath)
{
    ConfigPath = configPath;
    Settings = LoadSettings(ConfigPath);
    ApplySettings(Settings);
    const QString rememberedPort = ReadLinesBeside(ConfigPath, PortFileName).value(0);
    if (ItemIndexFor(SettingsList::Port, Settings.PortIndex) < 0 && !rememberedPort.isEmpty())
        m_controls.setPortText(rememberedPort);
}

TransferError SettingsBinding::SaveSettings()
{
    // The alignment bytes stay as the last loaded file had them.
    TPortSettings read = Settings;
    // Items the box holds beyond the fixed list (devices present) are no item
    // of the record: they are stored as none selected.
    for (SettingsList list : AllLists) {
        const int index = m_controls.itemIndex(list);
        storedIndex(read, list) = StoredIndexFor(index < ListItems(list).size() ? index : -1);
    }
    // The Time Gap comes from the timer: a gap typed but refused is not kept.
    read.TimeGap = Timer1.interval();
    // The Data Size is kept as typed, not cut to the largest packet.
    const std::optional<int> dataSize = DataSizeFromText(m_controls.dataSizeText());
    if (dataSize) {
        read.DataSize = *dataSize;
        read.PauseByDataSize = m_controls.pauseByDataSize() ? 1 : 0;
        Settings = read;
    } else {
        Settings = LoadSettings(ConfigPath);
        ApplySettings(Settings);
    }
    if (!m_savesSettings || ConfigPath.isEmpty())
        return {};
    int error = 0;
    if (!WriteSettingsFile(ConfigPath, Settings, &error))
        return TransferError::FromErrno(TransferError::Operation::SaveSettings, ConfigPath, error);
    WriteLinesBeside(ConfigPath, PortFileName, {m_controls.portText()});
    return {};
}

void SettingsBinding::ApplySettings(const TPortSettings& settings)
{
    TPortSettings copy = settings;
    for (SettingsList list : AllLists)
        m_controls.setItemIndex(list, ItemIndexFor(list, storedIndex(copy, list)));
    Timer1.setInterval(UsableTimeGap(settings.TimeGap));
    // The record's fields are shown unsigned, as the file holds them.
    m_controls.setDataSizeText(QString::number(static_cast<uint32_t>(settings.DataSize)));
    Edit2Change();
    m_controls.setPauseByDataSize(settings.PauseByDataSize != 0);
    m_controls.setTimeGapText(QString::number(static_cast<uint32_t>(Timer1.interval())));
    Edit1Change();
    m_controls.setDataSizeEnabled(false);
}

void SettingsBinding::takeTimeGapFromBox()
{
    const BoxValue gap = TimeGapOrDefault(m_controls.timeGapText());
    Timer1.setInterval(gap.value);
    if (gap.replacesText)
        m_controls.setTimeGapText(QString::number(gap.value));
}

void SettingsBinding::Edit1Change()
{
    // While sending the gap in use stays; the box shows it again.
    if (m_state.sending()) {
        m_controls.setTimeGapText(QString::number(Timer1.interval()));
        return;
    }
    takeTimeGapFromBox();
}

void SettingsBinding::Edit2Change()
{
    // While blocks are being sent the block length in use stays.
    if (m_state.sending() && m_controls.pauseByDataSize()) {
        m_controls.setDataSizeText(QString::number(m_state.ChunkLength));
        return;
    }
    const BoxValue size = DataSizeOrDefault(m_controls.dataSizeText());
    m_state.ChunkLength = size.value;
    if (size.replacesText)
        m_controls.setDataSizeText(QString::number(size.value));
}

void SettingsBinding::CheckBox1Click()
{
    m_controls.setDataSizeEnabled(m_controls.pauseByDataSize());
}
