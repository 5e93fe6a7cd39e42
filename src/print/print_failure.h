#pragma once

#include "model/platform.h"
#include "model/print_surface.h"

#include <QString>

namespace mvx {

// The one wording of a print that did not come out, whatever printed it and whatever failed
// (the device's refusal, its end, a PDF file that could not be written, a job the print
// system refused): what was printed, where, why when it is known, and what did come out.
//
// `document` follows "L'impression": "de la synthèse", "de la liste des tickets", "des
// bulletins". `destination` is what PrintSurface::destination() gives ("l'imprimante « X »",
// "le fichier « /a/b.pdf »"). `reason` and `done` are sentences of their own, or empty.
QString printFailureText(
    const QString &document, const QString &destination, const QString &reason, const QString &done = {});
QString printFailureTitle();

// Shows that message for a print on `surface`, with the surface's own reason.
void reportPrintFailure(
    Platform &platform, const QString &document, const PrintSurface &surface, const QString &done = {});

} // namespace mvx
