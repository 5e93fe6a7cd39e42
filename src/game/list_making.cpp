#include "game/list_making.h"

namespace mvx {

ListMaking listMakingOf(const TicketRecipe &recipe)
{
    ListMaking making;
    switch (recipe.source) {
    case TicketSource::CatalogueSystem:
        making.source = ListMaking::Source::CatalogueSystem;
        making.catalogueSystem = recipe.systemNumber;
        break;
    case TicketSource::Generator:
        making.source = ListMaking::Source::Generator;
        break;
    case TicketSource::OwnSystem:
        making.source = ListMaking::Source::OwnSystem;
        // The holes count the promise the table was made for.
        if (recipe.ownSystem.hasTable()) {
            making.promiseNeeded = recipe.ownSystem.request.guarantee;
            making.promiseAmong = promiseSize(recipe.ownSystem.request);
        }
        break;
    }
    making.withConditions = !recipe.conditions.isEmpty();
    return making;
}

} // namespace mvx
