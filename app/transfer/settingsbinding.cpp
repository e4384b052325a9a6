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

SettingsBinding::SettingsBinding(TransferControls& controls, PacedTimer& timer1, const TransferState& state,
                                 int& chunkLength)
    : m_controls(controls), m_timer(timer1), m_state(state), m_chunkLength(chunkLength)
{
}

void SettingsBinding::LoadFrom(const QString& configPath)
{
    m_configPath = configPath;
    m_settings = LoadSettings(m_configPath);
    ApplySettings(m_settings);
    const QString rememberedPort = ReadLinesBeside(m_configPath, PortFileName).value(0);
    if (ItemIndexFor(SettingsList::Port, m_settings.PortIndex) < 0 && !rememberedPort.isEmpty())
        m_controls.setPortText(rememberedPort);
}

TransferError SettingsBinding::SaveSettings()
{
    // The alignment bytes stay as the last loaded file had them.
    TPortSettings read = m_settings;
    // Items the box holds beyond the fixed list (devices present) are no item
    // of the record: they are stored as none selected.
    for (SettingsList list : AllLists) {
        const int index = m_controls.itemIndex(list);
        storedIndex(read, list) = StoredIndexFor(index < ListItems(list).size() ? index : -1);
    }
    // The Time Gap comes from the timer: a gap typed but refused is not kept.
    read.TimeGap = m_timer.interval();
    // The Data Size is kept as typed, not cut to the largest packet.
    const std::optional<int> dataSize = DataSizeFromText(m_controls.dataSizeText());
    if (dataSize) {
        read.DataSize = *dataSize;
        read.PauseByDataSize = m_controls.pauseByDataSize() ? 1 : 0;
        m_settings = read;
    } else {
        m_settings = LoadSettings(m_configPath);
        ApplySettings(m_settings);
    }
    if (!m_savesSettings || m_configPath.isEmpty())
        return {};
    int error = 0;
    if (!WriteSettingsFile(m_configPath, m_settings, &error))
        return TransferError::FromErrno(TransferError::Operation::SaveSettings, m_configPath, error);
    return WriteLinesBeside(m_configPath, PortFileName, {m_controls.portText()});
}

void SettingsBinding::ApplySettings(const TPortSettings& settings)
{
    TPortSettings copy = settings;
    for (SettingsList list : AllLists)
        m_controls.setItemIndex(list, ItemIndexFor(list, storedIndex(copy, list)));
    m_timer.setInterval(UsableTimeGap(settings.TimeGap));
    // The record's fields are shown unsigned, as the file holds them.
    m_controls.setDataSizeText(QString::number(static_cast<uint32_t>(settings.DataSize)));
    dataSizeEdited();
    m_controls.setPauseByDataSize(settings.PauseByDataSize != 0);
    m_controls.setTimeGapText(QString::number(static_cast<uint32_t>(m_timer.interval())));
    timeGapEdited();
    m_controls.setDataSizeEnabled(false);
}

void SettingsBinding::takeTimeGapFromBox()
{
    const BoxValue gap = TimeGapOrDefault(m_controls.timeGapText());
    m_timer.setInterval(gap.value);
    if (gap.replacesText)
        m_controls.setTimeGapText(QString::number(gap.value));
}

void SettingsBinding::timeGapEdited()
{
    // While sending the gap in use stays; the box shows it again.
    if (IsSending(m_state)) {
        m_controls.setTimeGapText(QString::number(m_timer.interval()));
        return;
    }
    takeTimeGapFromBox();
}

void SettingsBinding::dataSizeEdited()
{
    // While blocks are being sent the block length in use stays.
    if (IsSending(m_state) && m_controls.pauseByDataSize()) {
        m_controls.setDataSizeText(QString::number(m_chunkLength));
        return;
    }
    const BoxValue size = DataSizeOrDefault(m_controls.dataSizeText());
    m_chunkLength = size.value;
    if (size.replacesText)
        m_controls.setDataSizeText(QString::number(size.value));
}

void SettingsBinding::pauseByDataSizeClicked()
{
    m_controls.setDataSizeEnabled(m_controls.pauseByDataSize());
}
