#pragma once
// A plain About box that stands in until the picture and the animated
// transition are added: caption "About", fixed 265 x 243, the product and
// version texts and an OK button that closes it.

#include <QDialog>

class PlaceholderAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit PlaceholderAboutBox(QWidget* parent = nullptr);
};
