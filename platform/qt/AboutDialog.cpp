#include "platform/qt/AboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vemlor {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About vemlor2023");
    auto* layout = new QHBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    auto* column = new QVBoxLayout;
    for (const char* text : {"vemlor 2024.7.1a", "Enter 'help' for further information, or see",
                             "the README.md that comes with the program.",
                             "Vemlor is free software for numerical work."})
        column->addWidget(new QLabel(text, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    column->addWidget(buttons);
    layout->addLayout(column);
}

} // namespace vemlor
