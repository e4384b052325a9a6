#include "app/transfer/headlesscontrols.h"

int HeadlessControls::itemIndex(SettingsList list) const
{
    return indexes[static_cast<size_t>(list)];
}

void HeadlessControls::setItemIndex(SettingsList list, int index)
{
    const QStringList& items = ListItems(list);
    if (index < 0 || index >= items.size())
        index = -1;
    indexes[static_cast<size_t>(list)] = index;
    const QString text = index < 0 ? QString() : items[index];
    if (list == SettingsList::Port)
        port = text;
    else if (list == SettingsList::Baud)
        baud = text;
}

void HeadlessControls::listenTo(TransferEngine& engine)
{
    QObject::connect(&engine, &TransferEngine::message, &engine,
                     [this](const TransferMessage& message) { messages << message; });
    QObject::connect(&engine, &TransferEngine::logLine, &engine, [this](const QString& line) { logLines << line; });
}

void HeadlessControls::typePort(const QString& text)
{
    port = text;
    indexes[static_cast<size_t>(SettingsList::Port)] = ListItems(SettingsList::Port).indexOf(text);
}

void HeadlessControls::typeBaud(const QString& text)
{
    baud = text;
    indexes[static_cast<size_t>(SettingsList::Baud)] = ListItems(SettingsList::Baud).indexOf(text);
}
