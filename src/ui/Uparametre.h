#pragma once

#include "model/settings_record.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mvx {

// The settings dialog: the two printer adjustments of bet-slip printing and the interface
// language. OK writes them into the settings record; the title bar's close keeps the record
// as it was, while the fields keep what was typed for the next showing.
class Tfparametre : public QDialog
{
    Q_OBJECT

public:
    explicit Tfparametre(SettingsRecord &settings, QWidget *parent = nullptr);

    // The caption and the four texts in French, or in English when the language is 2.
    void applyLanguageTexts();
    // The dialog the stakes button opens.
    void setStakesDialog(QDialog *dialog) { stakesDialog_ = dialog; }

public Q_SLOTS:
    void bokClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    bool adjustmentKeyAllowed(const QLineEdit *field, const QString &typed) const;

    SettingsRecord &settings_;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *ldecalh = nullptr;
    QLineEdit *edech = nullptr;
    QLabel *ldecalv = nullptr;
    QLineEdit *edecv = nullptr;
    QGroupBox *glangue = nullptr;
    QRadioButton *lfrancais = nullptr;
    QRadioButton *langlais = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QPushButton *bok = nullptr;
    QPushButton *bmises = nullptr;
    QDialog *stakesDialog_ = nullptr;
};

} // namespace mvx
