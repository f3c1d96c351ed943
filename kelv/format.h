// The formatting functions of the support library in one include: the number
// formatters, expression text, character substitutions, pattern expansion and the
// password scrambling.
#pragma once

#include "kelv/crypt.h"
#include "kelv/mkstr.h"
#include "kelv/number_format.h"
#include "kelv/text_subst.h"
#include "kelv/wildexp.h"
