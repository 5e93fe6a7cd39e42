#pragma once

#include "model/platform.h"

#include <QString>

namespace mvx {

// The web sites the program links to. A packager who points the program elsewhere changes
// these three lines; the page paths behind them are the sites' own.
inline constexpr const char *kWebScheme = "https";
// A race-results site with the latest tiercé, quarté+ and quinté+ arrivals.
inline constexpr const char *kRaceResultsHost = "resultats.marovellix.fr";
// The program's own web site.
inline constexpr const char *kProgramSiteHost = "www.marovellix.fr";

// The page with the latest tiercé, quarté and quinté results.
QString raceResultsAddress();
// The page listing horse-betting and forecast web sites; its "source" key tells the site
// which program sent the visitor.
QString bettingSitesAddress();
// The home page of the program's web site.
QString programSiteAddress();

// The compiled help "marovellix.chm" of the program's folder, opened with the desktop's
// handler for it; where there is none, the user guide "marovellix.html" beside it, opened in
// the browser. Each is looked for in an installed copy's data folder when it is not beside the
// program (programFile). Nothing happens when neither file is found; a file found that no
// program opens (no browser) is reported in French.
void openHelp(Platform &platform);

} // namespace mvx
