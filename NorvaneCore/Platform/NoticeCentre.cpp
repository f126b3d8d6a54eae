#include "NoticeCentre.h"

namespace norvane {

NoticeCentre::~NoticeCentre() = default;

} // namespace norvane
