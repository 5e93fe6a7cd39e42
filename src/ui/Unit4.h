#pragma once

#include "model/platform.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace mvx {

// The about box: the program's icon, its name, its version and the publisher's lines.
class Tapropos : public QDialog
{
    Q_OBJECT

public:
    explicit Tapropos(Platform &platform, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    Platform &platform_;
    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *lversion = nullptr;
    QPushButton *OKButton = nullptr;
};

} // namespace mvx
