#include "placeholderaboutbox.h"

#include <QLabel>
#include <QPushButton>

PlaceholderAboutBox::PlaceholderAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(265, 243);

    auto* product = new QLabel(QStringLiteral("TK790 Flash Update Tools"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    product->setGeometry(8, 60, 249, 20);
    product->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(QStringLiteral("Version V1.0.0"), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(80, 184, 120, 16);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(87, 212, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
