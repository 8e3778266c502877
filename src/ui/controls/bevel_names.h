// Names of the bevel enumerations as stored descriptions write them.
#pragma once

#include "classes/class_builder.h"
#include "ui/core/ui_types.h"

namespace tvx {

inline const TEnumNames<TBevelCut> kBevelCutNames = {{"bvNone", TBevelCut::bvNone},
                                                     {"bvLowered", TBevelCut::bvLowered},
                                                     {"bvRaised", TBevelCut::bvRaised},
                                                     {"bvSpace", TBevelCut::bvSpace}};

}  // namespace tvx
