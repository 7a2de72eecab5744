#pragma once
// The window's wording of the replace question.

#include <QString>

#include "engine/frontend.h"
#include "listing/format_value.h"

/// "Are you sure you want to replace: NAME, Size: N KB, Modified On: DATE"
/// CR LF "With This One: ..." with times in style.
QString ReplaceQuestionText(const pff::ReplaceRequest& request, pff::DateStyle style);
