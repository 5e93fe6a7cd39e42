#include "ui/Ufprono.h"

#include "synth/forecasts.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace mvx {

namespace {

QPushButton *makePictureButton(QWidget *parent, const QString &name, QStyle::StandardPixmap picture, const QRect &rect)
{
    QPushButton *button = ui::makeButton(parent, name, QString(), rect);
    button->setIcon(parent->style()->standardIcon(picture));
    return button;
}

} // namespace

Tfsaiprono::Tfsaiprono(GameState &state, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
{
    ui::setUpWindow(this, QStringLiteral("fsaiprono"), QSize(648, 227));
    setWindowTitle(QStringLiteral("Saisie des Pronostics"));

    QFrame *panel = ui::makePanel(this, QStringLiteral("Panel1"), QRect(12, 18, 305, 39));
    panel->setAutoFillBackground(true);
    ui::makeLabel(panel, QStringLiteral("Label1"), QStringLiteral("PRONOSTIC  N° : "), 8, 8);
    lnuprono_ = new QLabel(panel);
    lnuprono_->setObjectName(QStringLiteral("lnuprono"));
    lnuprono_->setGeometry(104, 8, 41, 16);
    lnuprono_->setAutoFillBackground(true);
    QPalette white = lnuprono_->palette();
    white.setColor(QPalette::Window, Qt::white);
    lnuprono_->setPalette(white);
    auto *previous = makePictureButton(panel, QStringLiteral("bpronopre"), QStyle::SP_ArrowLeft, { 220, 2, 38, 35 });
    auto *next = makePictureButton(panel, QStringLiteral("bpronosui"), QStyle::SP_ArrowRight, { 262, 2, 38, 35 });
    previous->setAccessibleName(QStringLiteral("Pronostic précédent"));
    next->setAccessibleName(QStringLiteral("Pronostic suivant"));

    gchevaux_ = new QGroupBox(this);
    gchevaux_->setObjectName(QStringLiteral("gchevaux"));
    gchevaux_->setGeometry(10, 61, 628, 102);
    ui::useGroupFrame(gchevaux_);
    for (int k = 1; k <= kForecastPositions; ++k) {
        const int column = (k - 1) % 10;
        const bool secondRow = k > 10;
        ui::makeLabel(gchevaux_, QStringLiteral("Label%1").arg(k + 1), QString::number(k),
            ui::kNumberRowLabelLeft[column], secondRow ? 59 : 11);
        QComboBox *box = ui::makeNumberBox(gchevaux_, QStringLiteral("c%1").arg(k), k, 2);
        box->setGeometry(ui::kNumberRowBoxLeft[column], secondRow ? 73 : 25, 47, 21);
        ui::nameNumberedBox(box, QStringLiteral("Pronostic"), k, QStringLiteral("position"));
        boxes_[k - 1] = box;
    }

    auto *back = makePictureButton(this, QStringLiteral("BitBtn1"), QStyle::SP_ArrowBack, { 492, 165, 147, 56 });
    back->setText(QStringLiteral("Retour"));

    connect(previous, &QPushButton::clicked, this, &Tfsaiprono::bpronopreClick);
    connect(next, &QPushButton::clicked, this, &Tfsaiprono::bpronosuiClick);
    connect(back, &QPushButton::clicked, this, &Tfsaiprono::bquitClick);
    // Escape leaves as "Retour" does, keeping the forecast on screen.
    ui::escapePresses(this, back);
}

void Tfsaiprono::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    FormActivate();
}

void Tfsaiprono::keyPressEvent(QKeyEvent *event)
{
    // Enter in a number box is not meant for the window's first button (a focused button still
    // takes its own Enter). Escape is taken before it gets here, by "Retour".
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfsaiprono::FormActivate()
{
    ui::enableByTag(gchevaux_, state_.horsesPerForecast);
    ui::fillTaggedNumberLists(gchevaux_, state_.horseCount);
    state_.currentForecast = 1;
    showForecast();
    // The user types the first forecast at once.
    boxes_[0]->setFocus(Qt::OtherFocusReason);
}

void Tfsaiprono::bpronopreClick()
{
    if (stepToPreviousForecast(state_, boxTexts()))
        showForecast();
}

void Tfsaiprono::bpronosuiClick()
{
    if (stepToNextForecast(state_, boxTexts()))
        showForecast();
}

void Tfsaiprono::bquitClick()
{
    storeForecast();
    accept();
}

void Tfsaiprono::showForecast()
{
    if (state_.currentForecast <= 0)
        return;
    lnuprono_->setText(QString::number(state_.currentForecast));
    const std::vector<int> horses = forecastToShow(state_);
    for (std::size_t k = 0; k < horses.size(); ++k)
        ui::setTaggedText(gchevaux_, int(k) + 1, horses[k]);
}

void Tfsaiprono::storeForecast()
{
    mvx::storeForecast(state_, boxTexts());
}

std::array<QString, kForecastPositions> Tfsaiprono::boxTexts() const
{
    std::array<QString, kForecastPositions> texts;
    for (int k = 0; k < kForecastPositions; ++k)
        texts[k] = boxes_[k]->currentText();
    return texts;
}

} // namespace mvx
