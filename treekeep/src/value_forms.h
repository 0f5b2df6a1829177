// Texts and lookups shared by the value rules (treekeep_values.h): the forms
// of values in a refusal's detail, and the hand-over of that detail.
#ifndef PSENV_TREEKEEP_VALUE_FORMS_H
#define PSENV_TREEKEEP_VALUE_FORMS_H

#include <string>
#include <string_view>

#include "treekeep.h"
#include "treekeep_values.h"

namespace treekeep {

// A text as P_quoted quotes it.
std::string quotedText(std::string_view text);

// A real with 12 significant digits, as a file holds it.
std::string realText(double value);

// A list as blank-separated reals, or quoted texts for T_STRING; the walk
// stops after `count` entries or at the list's end.
std::string listText(const ValueNode *node, int count, int type);

// `detail` into the caller's buffer of `verdict` (may be NULL), cut to fit.
void giveDetail(P_verdict *verdict, std::string_view detail);

// The record `name` of `tree`, or nullptr with `code` P_NOTREE or P_NOVAR.
varInfo *findRecord(int tree, const char *name, int &code);

}  // namespace treekeep

#endif
