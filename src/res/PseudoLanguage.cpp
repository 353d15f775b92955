#include "res/PseudoLanguage.h"

namespace vesk {
namespace {
#include "PseudoStrings.inc"
}  // namespace

const Language& PseudoLanguage() {
    return kPseudoLanguage;
}

}  // namespace vesk
