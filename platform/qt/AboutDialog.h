// The About box of the desktop program.
#pragma once

#include <QDialog>

namespace vemlor {

class AboutDialog : public QDialog {
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace vemlor
