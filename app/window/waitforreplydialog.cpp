#include "app/window/waitforreplydialog.h"

#include "app/transfer/escapedtext.h"
#include "app/transfer/replywait.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

WaitForReplyDialog::WaitForReplyDialog(const ReplyWaitSetting& setting, QWidget* parent)
    : QDialog(parent), m_text(new QLineEdit(this)), m_timeout(new QSpinBox(this))
{
    setObjectName(QStringLiteral("WaitForReplyDialog"));
    setWindowTitle(QStringLiteral("Wait For Reply"));
    m_text->setObjectName(QStringLiteral("ReplyText"));
    m_text->setText(EscapeText(setting.text));
    m_text->setPlaceholderText(QStringLiteral("no waiting"));
    m_timeout->setObjectName(QStringLiteral("ReplyTimeout"));
    m_timeout->setRange(1, MaxReplyTimeoutMs);
    m_timeout->setSuffix(QStringLiteral(" ms"));
    m_timeout->setValue(setting.timeoutMs);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("After each packet, send the next only when the board's\n"
                                           "answer contains this text (\\r \\n \\t \\xHH allowed):"),
                            this));
    form->addRow(QStringLiteral("Reply : "), m_text);
    form->addRow(QStringLiteral("Timeout : "), m_timeout);
    form->addRow(buttons);
}

ReplyWaitSetting WaitForReplyDialog::setting() const
{
    return {UnescapeText(m_text->text().toUtf8()), m_timeout->value()};
}
