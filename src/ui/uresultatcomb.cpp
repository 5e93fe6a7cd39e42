#include "ui/uresultatcomb.h"

#include "arrival/ticket_list_print.h"
#include "ui/common_widgets.h"
#include "ui/program_icon.h"
#include "ui/ticket_grid.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

namespace mvx {

Tfresultatcomb::Tfresultatcomb(GameState &state, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fresultatcomb"), QSize(671, 362));
    setWindowTitle(QStringLiteral("Liste des tickets"));

    QLabel *title = ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("LISTE DES TICKETS"), 128, 0);
    title->setFont(ui::headingFont());
    title->adjustSize();

    grillecomb_ = new ui::TicketGrid(this);
    grillecomb_->setObjectName(QStringLiteral("grillecomb"));
    grillecomb_->setGeometry(0, 45, 465, 257);

    QGroupBox *count = ui::makeGroup(
        this, QStringLiteral("GroupBox1"), QStringLiteral("Nombre de Tickets"), QRect(472, 45, 193, 49));
    lnbtickets_ = new QLabel(count);
    lnbtickets_->setObjectName(QStringLiteral("lnbtickets"));
    lnbtickets_->setGeometry(8, 16, 105, 25);
    lnbtickets_->setAutoFillBackground(true);
    QPalette white = lnbtickets_->palette();
    white.setColor(QPalette::Window, Qt::white);
    lnbtickets_->setPalette(white);
    QFont countFont(QStringLiteral("MS Sans Serif"));
    countFont.setPixelSize(16);
    countFont.setBold(true);
    lnbtickets_->setFont(countFont);

    QPushButton *bimprime = ui::makeButton(
        this, QStringLiteral("bimprime"), QStringLiteral("Imprimer la liste"), QRect(177, 304, 129, 40));
    bimprime->setIcon(ui::buttonIcon(QStringLiteral("printer")));
    bimprime->setIconSize(QSize(24, 24));
    QPushButton *bquit
        = ui::makeButton(this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(525, 305, 138, 38));
    bquit->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    bquit->setToolTip(QStringLiteral("Fermer la fenetre"));

    connect(bimprime, &QPushButton::clicked, this, &Tfresultatcomb::bimprimeClick);
    connect(bquit, &QPushButton::clicked, this, &Tfresultatcomb::bquitClick);
}

void Tfresultatcomb::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    FormActivate();
}

void Tfresultatcomb::FormActivate()
{
    prepareTicketGrid();
}

void Tfresultatcomb::prepareTicketGrid()
{
    grillecomb_->setContent(std::make_shared<ui::TicketRows>(state_.tickets, state_.selection));
    lnbtickets_->setText(QString::number(state_.tickets.count()));
}

void Tfresultatcomb::bimprimeClick()
{
    printTicketList(state_.tickets, state_.selection, platform_);
}

void Tfresultatcomb::bquitClick()
{
    accept();
}

} // namespace mvx
