#include "ui/application.h"

#include "ui/Ufprono.h"
#include "ui/Uimprime.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"
#include "ui/Uparametre.h"
#include "ui/Usynthese.h"
#include "ui/history_access.h"
#include "ui/history_window.h"
#include "ui/stakes_dialog.h"
#include "ui/ufcompare.h"
#include "ui/uresultatcomb.h"

namespace mvx {

Application::Application(Platform &platform, const QString &historyPath)
    : platform_(platform)
    , state_(std::make_unique<GameState>())
    , history_(std::make_unique<HistoryAccess>(platform, historyPath))
{
    history_->attachTo(*state_);
    // The main window comes first: its creation loads the settings that the other windows
    // read when they are created. They are its children and go with it.
    fprincip_ = std::make_unique<Tfprincip>(*state_, platform_);
    SecondaryWindows windows;
    windows.fsaiprono = new Tfsaiprono(*state_, fprincip_.get());
    auto *synthese = new Tfsynthese(*state_, platform_, fprincip_.get());
    windows.fsynthese = synthese;
    QObject::connect(synthese, &Tfsynthese::rankingChosen, fprincip_.get(), &Tfprincip::useRanking);
    auto *ticketList = new Tfresultatcomb(*state_, platform_, fprincip_.get());
    windows.fresultatcomb = ticketList;
    auto *compare = new Tfcompare(*state_, platform_, fprincip_.get());
    compare->setHistory(history_.get());
    windows.fcompare = compare;
    windows.apropos = new Tapropos(platform_, fprincip_.get());
    auto *parametre = new Tfparametre(state_->settings, fprincip_.get());
    auto *stakes = new Tfmises(state_->stakes, platform_, parametre);
    stakes->setHistory(history_.get());
    parametre->setStakesDialog(stakes);
    windows.fparametre = parametre;
    // The print dialog is made last of all.
    windows.fimprime = new Tfimprime(*state_, platform_, fprincip_.get());
    windows.fmescourses = new Tfmescourses(*history_, platform_, fprincip_.get());
    ticketList->setListWindows(windows.fimprime, windows.fcompare);
    fprincip_->setSecondaryWindows(windows);
}

Application::~Application() = default;

void Application::show()
{
    fprincip_->show();
    fprincip_->activateWindow();
}

} // namespace mvx
