// Entry point of the desktop tool.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QStyleFactory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(8);
    QApplication::setFont(font);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TK790 Flash Update Tools V1.00 "));
    window.setCentralWidget(new QLabel(QStringLiteral("Flash update tool")));
    window.resize(539, 437);
    window.show();
    return app.exec();
}
