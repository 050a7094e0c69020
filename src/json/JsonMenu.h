#pragma once
// An IG menu's model as JSON: the composition with its pages, the IN time, the objects
// (without pixel data) and the palettes (entries as [R, G, B, T]).

#include "menu/IGMenu.h"
#include "json/JsonModel.h"

namespace corvane::json {

OrderedJson toJson(const TMenu& menu);

} // namespace corvane::json
