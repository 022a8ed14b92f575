#pragma once

#include "TRDomainController.h"

#include <vector>

// The root object of an exchange file: one domain (a "tamdom" file) or the whole list of domains, in
// list order (a "tamdoms" file).
struct TRArchiveContents
{
    bool isList = false;
    // Whether a read list was recorded as mutable (both platforms write NSMutableArray). Informational.
    bool mutableList = true;
    // Exactly one domain when isList is false.
    std::vector<TRDomainControllerPtr> domains;
};
