#pragma once
// "Wait For Reply": the text the board answers each packet with (escapes
// \r \n \t \xHH; empty for no waiting) and how long to wait for it.

#include "app/transfer/replywaitfile.h"

#include <QDialog>

class QLineEdit;
class QSpinBox;

class WaitForReplyDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaitForReplyDialog(const ReplyWaitSetting& setting, QWidget* parent = nullptr);

    ReplyWaitSetting setting() const;

private:
    QLineEdit* m_text;
    QSpinBox* m_timeout;
};
