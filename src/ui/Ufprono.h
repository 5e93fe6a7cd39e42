#pragma once

#include "model/game_state.h"

#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;

namespace mvx {

// The forecast entry window: one forecast at a time in the boxes c1..c20, stepped through with
// the two arrow buttons. What is on screen goes into the table when the user steps to another
// forecast or leaves with "Retour"; closing the window by its title bar drops it.
class Tfsaiprono : public QDialog
{
    Q_OBJECT

public:
    explicit Tfsaiprono(GameState &state, QWidget *parent = nullptr);

public Q_SLOTS:
    void FormActivate();
    void bpronopreClick();
    void bpronosuiClick();
    void bquitClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showForecast();
    void storeForecast();
    std::array<QString, kForecastPositions> boxTexts() const;

    GameState &state_;
    QLabel *lnuprono_ = nullptr;
    QGroupBox *gchevaux_ = nullptr;
    std::array<QComboBox *, kForecastPositions> boxes_ {};
};

} // namespace mvx
