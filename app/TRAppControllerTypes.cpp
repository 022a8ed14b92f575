// Change type: a leaf key becomes another leaf kind, asking first when the conversion loses something.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRText.h"
#include "TRValueConversion.h"

bool TRAppController::canChangeSelectedKeyType(int kind) const
{
    const TRKeyPtr key = selectedKey();
    TRValueConversion::Kind from{};
    return key && !key->isCompound() && TRValueConversion::kindOf(key->value(), &from) &&
           TRValueConversion::exists(from, TRValueConversion::Kind(kind));
}

void TRAppController::changeKeyType(int kind)
{
    if (!canChangeSelectedKeyType(kind))
        return;
    const TRKeyPtr key = selectedKey();
    setCurrentKey(key);
    const TRValueConversion::Result result =
        TRValueConversion::convert(key->value(), TRValueConversion::Kind(kind));
    const auto apply = [this, key, value = result.value] {
        const TRKeyPtr changed = TRKey::create(key->name(), value, key->parent(), key->domain());
        replaceKeys({key, changed}, trText("Change type"));
    };
    TRAlert::Content alert;
    alert.message = result.message;
    switch (result.outcome) {
    case TRValueConversion::Outcome::Exact:
        apply();
        return;
    case TRValueConversion::Outcome::Impossible:
        alert.title = trText("The type cannot be changed");
        alert.defaultButton = trText("OK");
        TRAlert::beginSheet(mainWindow(), alert);
        return;
    case TRValueConversion::Outcome::Lossy:
        alert.title = trText("About to change the value");
        alert.defaultButton = trText("Cancel");
        alert.alternateButton = trText("Change Type");
        alert.escapeCode = TRAlert::kDefault;
        TRAlert::beginSheet(mainWindow(), alert, [apply](int code) {
            if (code == TRAlert::kAlternate)
                apply();
        });
        return;
    }
}
