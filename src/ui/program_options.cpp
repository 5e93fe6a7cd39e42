#include "ui/program_options.h"

#include <cstdio>
#include <cstring>

namespace mvx {

namespace {

// The manual page is made from this text by help2man: a line ending in ":" starts a section,
// indented lines starting with "-" are options.
const char kHelp[] = "Utilisation : marovellix [OPTION]...\n"
                     "Synthèse des pronostics et tickets de jeu pour les courses hippiques françaises\n"
                     "(tiercé, quarté+, quinté+, couplé).\n"
                     "\n"
                     "La fenêtre classe les chevaux par points d'après les pronostics de 200\n"
                     "pronostiqueurs au plus, fait les tickets d'une sélection par 53 systèmes réduits\n"
                     "ou par le générateur de combinaisons, les liste, les imprime, les écrit dans un\n"
                     "fichier texte, les marque sur les bulletins préimprimés et les compare avec\n"
                     "l'arrivée. Le guide de l'utilisateur s'ouvre par le bouton « ? ».\n"
                     "\n"
                     "Options :\n"
                     "  -h, --help       Affiche cette aide et quitte.\n"
                     "  -v, --version    Affiche la version et quitte.\n"
                     "\n"
                     "Les options de Qt sont acceptées aussi, par exemple « -platform offscreen » ou\n"
                     "« -style fusion ».\n"
                     "\n"
                     "Statut de sortie : 0 quand la fenêtre a été fermée. Sans affichage (ni DISPLAY\n"
                     "ni WAYLAND_DISPLAY), le programme le dit et s'arrête avec le statut 1 ;\n"
                     "« xvfb-run -a marovellix » le démarre sur un affichage virtuel.\n";

} // namespace

std::optional<int> answerInformationOptions(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            std::fputs(kHelp, stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        }
        if (std::strcmp(argument, "-v") == 0 || std::strcmp(argument, "--version") == 0) {
            std::fputs("marovellix " MAROVELLIX_VERSION "\n", stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        }
    }
    return std::nullopt;
}

} // namespace mvx
