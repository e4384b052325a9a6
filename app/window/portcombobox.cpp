#include "app/window/portcombobox.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace {

// Draws an item by its label when it has one: the list shows what a device
// is, the box's text stays the path.
class LabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString label = index.data(PortComboBox::LabelRole).toString();
        if (!label.isEmpty())
            option->text = label;
    }
};

} // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new LabelDelegate(this));
    // Where the style lets the list grow, COM1..COM8 and a dozen devices show
    // without scrolling.
    setMaxVisibleItems(FixedItems + 12);
}

void PortComboBox::setPresentPorts(const QList<PresentPort>& ports)
{
    const QString text = currentText();
    while (count() > FixedItems)
        removeItem(count() - 1);
    for (const PresentPort& port : ports) {
        addItem(port.path);
        setItemData(count() - 1, port.label, LabelRole);
        setItemData(count() - 1, port.label, Qt::ToolTipRole);
    }
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    setEditText(text);
}

void PortComboBox::showPopup()
{
    setPresentPorts(PresentPorts());
    // The box is narrow; the list is as wide as its longest label.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 24);
    QComboBox::showPopup();
}
