#include "app/window/messagebox.h"

#include <QCoreApplication>
#include <QMessageBox>

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

void ShowModalMessage(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption.isEmpty() ? ApplicationTitle() : caption, text,
                    QMessageBox::Ok);
    box.exec();
}
