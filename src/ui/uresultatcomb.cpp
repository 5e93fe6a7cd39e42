#include "ui/uresultatcomb.h"

#include "arrival/ticket_list_print.h"
#include "combi/game_cost.h"
#include "combi/ticket_recipe.h"
#include "game/budget_note.h"
#include "ui/common_widgets.h"
#include "ui/holes_window.h"
#include "ui/keyboard_access.h"
#include "ui/program_icon.h"
#include "ui/ticket_grid.h"

#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>

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
    grillecomb_->table()->setAccessibleName(QStringLiteral("Liste des tickets"));

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

    // A catalogue or own system thinned by conditions no longer keeps its guarantee.
    lgarantie_ = new QLabel(this);
    lgarantie_->setObjectName(QStringLiteral("lgarantie"));
    lgarantie_->setGeometry(472, 4, 193, 38);
    lgarantie_->setWordWrap(true);
    lgarantie_->setStyleSheet(QStringLiteral("color: #a00000;"));

    QPushButton *bimprime = ui::makeButton(
        this, QStringLiteral("bimprime"), QStringLiteral("Imprimer la liste"), QRect(177, 304, 129, 40));
    bimprime->setIcon(ui::buttonIcon(QStringLiteral("printer")));
    bimprime->setIconSize(QSize(24, 24));
    QPushButton *bquit
        = ui::makeButton(this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(525, 305, 138, 38));
    bquit->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    bquit->setToolTip(QStringLiteral("Fermer la fenetre"));

    buildListActions();
    ui::escapePresses(this, bquit);
    ui::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_P), bimprime);

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
    // A wrapped line keeps each amount with its "€".
    lcout_->setText(frenchCostLine(state_.stakes, betOfTickets(state_), state_.tickets.count())
                        .replace(QStringLiteral(" €"), QStringLiteral("\u00a0€")));
    lgarantie_->setText(guaranteeLost(state_) ? messages::guaranteeNotKept() : QString());
    lbudget_->setText(budgetNoteFor(state_, betOfTickets(state_), state_.tickets.count(), QLatin1Char('\n')));
}

void Tfresultatcomb::bimprimeClick()
{
    printTicketList(state_.tickets, state_.selection, platform_);
}

void Tfresultatcomb::bquitClick()
{
    accept();
}

void Tfresultatcomb::buildListActions()
{
    lcout_ = new ui::ResultText(QStringLiteral("Coût"), this);
    lcout_->setObjectName(QStringLiteral("lcout"));
    lcout_->setGeometry(472, 98, 193, 46);
    lcout_->setWordWrap(true);
    lcout_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Between the bottom row's buttons.
    lbudget_ = new ui::ResultText(QStringLiteral("Budget du mois"), this);
    lbudget_->setObjectName(QStringLiteral("lbudget"));
    lbudget_->setGeometry(312, 302, 208, 44);
    lbudget_->setWordWrap(true);
    lbudget_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont small = lbudget_->font();
    small.setPixelSize(10);
    lbudget_->setFont(small);

    QPushButton *bimprimetickets = ui::makeButton(
        this, QStringLiteral("bimprimetickets"), QStringLiteral("Imprimer les tickets"), QRect(472, 148, 193, 40));
    bimprimetickets->setToolTip(QStringLiteral("Imprimer les tickets sur des bulletins de jeu"));
    QPushButton *bcompar = ui::makeButton(
        this, QStringLiteral("bcompar"), QStringLiteral("Comparer avec l'arrivée"), QRect(472, 194, 193, 40));
    QPushButton *btrous
        = ui::makeButton(this, QStringLiteral("btrous"), QStringLiteral("Trous"), QRect(472, 240, 193, 40));
    btrous->setToolTip(QStringLiteral("Les arrivées de la sélection qu'aucun ticket ne gagne"));
    holes_ = new Tftrous(this);

    connect(bimprimetickets, &QPushButton::clicked, this, &Tfresultatcomb::bimprimeticketsClick);
    connect(bcompar, &QPushButton::clicked, this, &Tfresultatcomb::bcomparClick);
    connect(btrous, &QPushButton::clicked, this, &Tfresultatcomb::btrousClick);
}

void Tfresultatcomb::bimprimeticketsClick()
{
    if (slipPrint_)
        slipPrint_->exec();
}

void Tfresultatcomb::bcomparClick()
{
    if (comparison_)
        comparison_->exec();
}

void Tfresultatcomb::btrousClick()
{
    if (std::optional<ListHoles> holes = countHolesOfList(state_, platform_)) {
        std::vector<HolesColumn> extra;
        if (std::optional<HolesColumn> taken = conditionsHolesColumn(state_, *holes, platform_))
            extra.push_back(std::move(*taken));
        holes_->showHoles(*holes, extra);
        holes_->exec();
    }
}

} // namespace mvx
